#include "playback/song_scoring.h"

#include "foundation/singing_score.h"
#include "platform/microphone_pitch.h"

namespace {

// The time the reference melody of a long song takes to find.
constexpr std::size_t kLeastHeardFrames = 2 * kPitchFramesPerSecond;

}  // namespace

SongScoring::SongScoring(MicrophoneMaker make_microphone) : make_microphone_(std::move(make_microphone)) {}

SongScoring::~SongScoring() {
    drop();
}

void SongScoring::song_started(const QString& path) {
    drop();
    if (!make_microphone_) return;
    microphone_ = make_microphone_();
    if (!microphone_ || !microphone_->start()) {
        microphone_.reset();
        return;
    }
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    reference_ = std::async(std::launch::async,
                            [path, cancelled = cancelled_] { return reference_melody(path, *cancelled); });
}

std::optional<int> SongScoring::song_over(int key_shift) {
    if (!microphone_) return std::nullopt;
    const PitchTrack singer = microphone_->stop();
    // A song cut in its first seconds has no score: its reference, which
    // may not be ready yet, is not waited for.
    if (singer.size() < kLeastHeardFrames) {
        drop();
        return std::nullopt;
    }
    microphone_.reset();
    const std::optional<PitchTrack> reference = reference_.get();
    if (!reference) return std::nullopt;
    return singing_score(*reference, singer, key_shift);
}

// A reference still being found is told to stop; waiting for it takes no
// longer than the block of sound it is decoding.
void SongScoring::drop() {
    if (!microphone_) return;
    cancelled_->store(true);
    microphone_->stop();
    microphone_.reset();
    reference_.wait();
    reference_ = {};
}
