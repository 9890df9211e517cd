#pragma once

#include "platform/melody.h"

#include <QString>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>

class MicrophonePitch;

// The singing score of the song that plays: from its start the reference
// melody is found on a worker thread and the microphone is followed; when
// the song is over the two are compared.
class SongScoring {
public:
    using MicrophoneMaker = std::function<std::unique_ptr<MicrophonePitch>()>;
    explicit SongScoring(MicrophoneMaker make_microphone);
    ~SongScoring();
    SongScoring(const SongScoring&) = delete;
    SongScoring& operator=(const SongScoring&) = delete;

    // The song of `path` starts: whatever was followed before is dropped.
    void song_started(const QString& path);
    // The song is over (ended, failed or cut), played `key_shift` semitones
    // from its key: its score, or nothing when it has none.
    std::optional<int> song_over(int key_shift);
    // The song stopped unscored (sung again, playback closed).
    void drop();

private:
    MicrophoneMaker make_microphone_;
    std::unique_ptr<MicrophonePitch> microphone_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    std::future<std::optional<PitchTrack>> reference_;
};
