#include "platform/melody.h"

#include "platform/audio_decoder.h"

#include <aubio/aubio.h>

#include <algorithm>

namespace {

// The rate the guide is followed at: a voice's pitch and its first
// harmonics lie far below 8 kHz.
constexpr int kReferenceRate = 16000;
// Quieter sound counts as silence (dB below full scale): the guide's voice
// after the accompaniment is taken away, or the room's noise in the microphone.
constexpr float kSilenceDb = -50;
// How sure YIN must be of a pitch for the frame to count as sung: below it
// lie noise, chords and breath.
constexpr float kLeastConfidence = 0.7F;
// The notes a voice reaches, bass to soprano whistle (MIDI numbers).
constexpr float kLowestNote = 33;   // A 55 Hz
constexpr float kHighestNote = 96;  // C 2093 Hz
// A guide sung less than this share of the song holds no voice to score.
constexpr double kLeastVoicedShare = 0.05;

// A window of about 40 ms holds two periods of the lowest note.
uint_t window_for(int rate) {
    uint_t window = 256;
    while (window < static_cast<uint_t>(rate) / 25) window *= 2;
    return window;
}

}  // namespace

struct PitchFollower::Aubio {
    Aubio(int rate, uint_t hop)
        : pitch(new_aubio_pitch("yinfast", window_for(rate), hop, static_cast<uint_t>(rate))),
          input(new_fvec(hop)),
          output(new_fvec(1)) {
        aubio_pitch_set_unit(pitch, "midi");
        aubio_pitch_set_silence(pitch, kSilenceDb);
    }
    ~Aubio() {
        del_aubio_pitch(pitch);
        del_fvec(input);
        del_fvec(output);
    }
    Aubio(const Aubio&) = delete;
    Aubio& operator=(const Aubio&) = delete;

    float note_of_input() {
        aubio_pitch_do(pitch, input, output);
        const float note = output->data[0];
        const bool sung = aubio_pitch_get_confidence(pitch) >= kLeastConfidence && note >= kLowestNote &&
                          note <= kHighestNote;
        return sung ? note : 0.0F;
    }

    aubio_pitch_t* pitch;
    fvec_t* input;
    fvec_t* output;
};

PitchFollower::PitchFollower(int rate)
    : aubio_(std::make_unique<Aubio>(rate, static_cast<uint_t>(rate / kPitchFramesPerSecond))) {}

PitchFollower::~PitchFollower() = default;

void PitchFollower::add(const float* mono, std::size_t frames) {
    pending_.insert(pending_.end(), mono, mono + frames);
    const std::size_t hop = aubio_->input->length;
    std::size_t used = 0;
    for (; pending_.size() - used >= hop; used += hop) {
        std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(used), hop, aubio_->input->data);
        track_.push_back(aubio_->note_of_input());
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
}

namespace {

// The sound kept of a song while it is decoded, at kReferenceRate: each
// stream's channels mixed, and the first stream's left side less its right,
// until a second stream shows the file needs no sides.
struct DecodedGuide {
    std::vector<float> first;
    std::vector<float> second;
    std::vector<float> sides;
    bool stereo_first = false;

    void add(int stream, const AudioBlock& block) {
        std::vector<float>& mixed = stream == 0 ? first : second;
        if (stream == 1) std::vector<float>().swap(sides);
        const bool keep_sides = stream == 0 && block.channels == 2 && second.empty();
        stereo_first = stereo_first || keep_sides;
        for (std::size_t i = 0; i < block.frames; ++i) {
            const float* frame = block.samples + i * static_cast<std::size_t>(block.channels);
            float sum = 0;
            for (int channel = 0; channel < block.channels; ++channel) sum += frame[channel];
            mixed.push_back(sum / static_cast<float>(block.channels));
            if (keep_sides) sides.push_back(frame[0] - frame[1]);
        }
    }

    // The voice alone: guide less accompaniment. Which of the two is which
    // does not matter, as the voice's pitch is the same either way round.
    std::vector<float> voice(int streams) {
        if (streams >= 2) {
            first.resize(std::min(first.size(), second.size()));
            for (std::size_t i = 0; i < first.size(); ++i) first[i] -= second[i];
            return std::move(first);
        }
        if (stereo_first) return std::move(sides);
        return {};
    }
};

bool enough_voice(const PitchTrack& track) {
    const auto voiced = std::count_if(track.begin(), track.end(), [](float note) { return note > 0; });
    return !track.empty() &&
           static_cast<double>(voiced) >= kLeastVoicedShare * static_cast<double>(track.size());
}

}  // namespace

std::optional<PitchTrack> reference_melody(const QString& path, const std::atomic<bool>& cancelled) {
    DecodedGuide guide;
    const int streams = decode_audio_streams(
        path,
        [](int) {
            return AudioStreamRange{0, 2};
        },
        kReferenceRate,
        [&](int stream, const AudioBlock& block) {
            guide.add(stream, block);
            return !cancelled.load();
        });
    if (streams <= 0) return std::nullopt;
    const std::vector<float> voice = guide.voice(streams);
    if (voice.empty()) return std::nullopt;
    PitchFollower follower(kReferenceRate);
    follower.add(voice.data(), voice.size());
    PitchTrack track = follower.take_track();
    if (!enough_voice(track)) return std::nullopt;
    return track;
}
