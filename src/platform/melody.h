#pragma once

// The pitch of a voice, followed every 10 ms: the melody a song's guide
// vocal sings, and what the microphone hears, for the singing score.

#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

// One note a frame of 10 ms, as a MIDI note number with its fraction (69 is
// A 440 Hz); 0 where nothing was sung.
using PitchTrack = std::vector<float>;
constexpr int kPitchFramesPerSecond = 100;

// Follows the pitch of one voice in sound fed to it in pieces of any size
// (aubio's YIN, its difference function computed by FFT).
class PitchFollower {
public:
    explicit PitchFollower(int rate);
    ~PitchFollower();
    PitchFollower(const PitchFollower&) = delete;
    PitchFollower& operator=(const PitchFollower&) = delete;

    void add(const float* mono, std::size_t frames);
    const PitchTrack& track() const { return track_; }
    PitchTrack take_track() { return std::move(track_); }

private:
    struct Aubio;
    std::unique_ptr<Aubio> aubio_;
    std::vector<float> pending_;
    PitchTrack track_;
};

// The melody the guide vocal sings: the song's accompaniment taken away from
// its guide, which leaves the voice alone. A file of two or more audio
// streams has the guide in the first and the accompaniment in the second; a
// file of one stereo stream (as VCDs hold) has them on its two sides. Nothing
// for any other file, for a file that cannot be decoded, for a guide with
// hardly any voice in it, or once `cancelled` turns true.
std::optional<PitchTrack> reference_melody(const QString& path, const std::atomic<bool>& cancelled);
