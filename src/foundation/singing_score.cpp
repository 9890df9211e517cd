#include "foundation/singing_score.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace {

constexpr int kLongestDelayFrames = 500 * kPitchFramesPerSecond / 1000;
constexpr int kSlackFrames = 150 * kPitchFramesPerSecond / 1000;
constexpr float kToleranceSemitones = 1.0F;
// Shares below the floor are what a voice anywhere near the song reaches by
// chance; at the ceiling the melody was sung throughout.
constexpr double kChanceShare = 0.15;
constexpr double kFullShare = 0.85;

bool sung(float note) {
    return note > 0;
}

bool same_note(float singer, float reference) {
    const float apart = singer - reference;
    const float within_octave = apart - 12.0F * std::round(apart / 12.0F);
    return std::fabs(within_octave) <= kToleranceSemitones;
}

// A note of the reference: its frames from `begin` to before `end`.
struct Note {
    std::size_t begin;
    std::size_t end;
};

// Runs of sung frames that hold one note: a note ends where the pitch moves
// more than a semitone from where it began, or where the voice rests.
std::vector<Note> notes_of(const PitchTrack& reference) {
    std::vector<Note> notes;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        if (!sung(reference[i])) continue;
        const bool goes_on = !notes.empty() && notes.back().end == i &&
                             std::fabs(reference[i] - reference[notes.back().begin]) <= kToleranceSemitones;
        if (goes_on)
            ++notes.back().end;
        else
            notes.push_back({i, i + 1});
    }
    return notes;
}

std::vector<std::size_t> sung_frames(const PitchTrack& track) {
    std::vector<std::size_t> frames;
    for (std::size_t i = 0; i < track.size(); ++i)
        if (sung(track[i])) frames.push_back(i);
    return frames;
}

bool singer_matches(const PitchTrack& singer, float reference, std::ptrdiff_t at) {
    return at >= 0 && at < static_cast<std::ptrdiff_t>(singer.size()) && sung(singer[at]) &&
           same_note(singer[at], reference);
}

// A note as a point on the circle of the octave's twelve semitones.
std::complex<float> on_circle(float note) {
    return std::polar(1.0F, note * static_cast<float>(2 * M_PI / 12));
}

// The delay at which the singer's notes stand at the steadiest interval from
// the reference's: the sum over both tracks' sung frames of the interval as a
// point on the octave's circle is longest there. Transposition moves every
// point alike, so a singer off the key has the delay found all the same; the
// best plain match could instead align a tune sung off by a step with its
// neighbouring notes.
int microphone_delay(const PitchTrack& reference, const std::vector<std::size_t>& frames,
                     const PitchTrack& singer) {
    std::vector<std::complex<float>> singer_points(singer.size());
    for (std::size_t i = 0; i < singer.size(); ++i)
        if (sung(singer[i])) singer_points[i] = on_circle(singer[i]);
    int best_delay = 0;
    float longest = 0;
    for (int delay = 0; delay <= kLongestDelayFrames; ++delay) {
        std::complex<float> sum = 0;
        for (const std::size_t i : frames)
            if (i + static_cast<std::size_t>(delay) < singer.size())
                sum +=
                    singer_points[i + static_cast<std::size_t>(delay)] * std::conj(on_circle(reference[i]));
        if (std::abs(sum) > longest) {
            longest = std::abs(sum);
            best_delay = delay;
        }
    }
    return best_delay;
}

bool matched_with_slack(const PitchTrack& singer, float reference, std::ptrdiff_t at) {
    for (std::ptrdiff_t slack = -kSlackFrames; slack <= kSlackFrames; ++slack)
        if (singer_matches(singer, reference, at + slack)) return true;
    return false;
}

}  // namespace

// A note counts only when at least half of it was met: a singer a few
// semitones off meets the start of every note through the end of the one
// before (tunes move by steps of two or three semitones), which the slack
// would otherwise count.
double melody_share(const PitchTrack& reference, const PitchTrack& singer, int key_shift) {
    const std::vector<std::size_t> frames = sung_frames(reference);
    if (frames.empty()) return 0;
    const auto shift = static_cast<float>(key_shift);
    const int delay = microphone_delay(reference, frames, singer);
    std::size_t matched = 0;
    for (const Note& note : notes_of(reference)) {
        std::size_t met = 0;
        for (std::size_t i = note.begin; i < note.end; ++i)
            met += matched_with_slack(singer, reference[i] + shift, static_cast<std::ptrdiff_t>(i) + delay);
        if (2 * met >= note.end - note.begin) matched += met;
    }
    return static_cast<double>(matched) / static_cast<double>(frames.size());
}

// A square root over the span between chance and the ceiling: the first
// notes found count most, so that a singer who keeps to the tune most of
// the time (a share of about a half to two thirds) scores 70 to 90.
int score_of_share(double share) {
    const double above_chance = std::clamp((share - kChanceShare) / (kFullShare - kChanceShare), 0.0, 1.0);
    return static_cast<int>(std::lround(100 * std::sqrt(above_chance)));
}

std::optional<int> singing_score(const PitchTrack& reference, const PitchTrack& singer, int key_shift) {
    if (reference.empty() || 2 * singer.size() < reference.size()) return std::nullopt;
    if (std::none_of(reference.begin(), reference.end(), sung)) return std::nullopt;
    return score_of_share(melody_share(reference, singer, key_shift));
}
