#include "platform/loudness_meter.h"

#include "platform/audio_decoder.h"
#include "platform/midi_renderer.h"

#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

extern "C" {
#include <ebur128.h>
#include <libavutil/log.h>
}

namespace {

struct MeterFreer {
    void operator()(ebur128_state* meter) const { ebur128_destroy(&meter); }
};
using MeterPtr = std::unique_ptr<ebur128_state, MeterFreer>;

// The true peak of each channel after BS.1770: the highest magnitude of the
// sound oversampled four times, where peaks between the samples show. The
// interpolation is a 48-tap windowed-sinc low-pass in four phases of 12
// taps, computed a phase at a time over a whole frame so that the compiler
// turns it into vector instructions: libebur128's own true-peak mode took
// longer than the decoding and the loudness together.
class TruePeakMeter {
public:
    explicit TruePeakMeter(unsigned channels) : histories_(channels, std::vector<float>(kTaps - 1, 0.0F)) {}

    void add(const float* interleaved, std::size_t frames) {
        for (std::size_t channel = 0; channel < histories_.size(); ++channel)
            add_channel(channel, interleaved, frames);
    }

    // Linear, 1.0 for full scale.
    double peak() const { return peak_; }

private:
    static constexpr int kPhases = 4;
    static constexpr int kTaps = 12;  // per phase
    static constexpr std::size_t kLanes = 16;
    using Phases = std::array<std::array<float, kTaps>, kPhases>;

    // Phase p's tap j is h[4j + p] of the whole filter (a Blackman-windowed
    // sinc cut at the original rate's half), each phase scaled to pass a
    // constant level unchanged.
    static const Phases& phases() {
        static const Phases made = [] {
            constexpr int length = kPhases * kTaps;
            constexpr double centre = (length - 1) / 2.0;
            Phases taps{};
            for (int p = 0; p < kPhases; ++p) {
                double sum = 0;
                for (int j = 0; j < kTaps; ++j) {
                    const int n = j * kPhases + p;
                    const double x = (n - centre) / kPhases;
                    const double sinc = std::sin(M_PI * x) / (M_PI * x);
                    const double window = 0.42 - 0.5 * std::cos(2 * M_PI * (n + 0.5) / length) +
                                          0.08 * std::cos(4 * M_PI * (n + 0.5) / length);
                    taps[p][j] = static_cast<float>(sinc * window);
                    sum += taps[p][j];
                }
                for (float& tap : taps[p]) tap = static_cast<float>(tap / sum);
            }
            return taps;
        }();
        return made;
    }

    // line_ holds the channel's last kTaps - 1 samples of the frame before,
    // then this frame's.
    // The frame is filtered in runs of kLanes samples, padded with silence
    // to a whole run: a loop of a fixed count the compiler turns into vector
    // instructions at -O2, where a loop of any count stays scalar. The
    // padding's own outputs are not looked at.
    void add_channel(std::size_t channel, const float* interleaved, std::size_t frames) {
        const std::size_t channels = histories_.size();
        const std::size_t padded = (frames + kLanes - 1) / kLanes * kLanes;
        std::vector<float>& history = histories_[channel];
        line_.assign(history.begin(), history.end());
        for (std::size_t i = 0; i < frames; ++i) line_.push_back(interleaved[i * channels + channel]);
        line_.resize(kTaps - 1 + padded, 0.0F);
        float highest = highest_of(line_.data() + kTaps - 1, frames);
        for (const auto& taps : phases()) {
            interpolated_.assign(padded, 0.0F);
            for (int j = 0; j < kTaps; ++j) add_tap(taps[j], line_.data() + (kTaps - 1 - j), padded);
            highest = std::max(highest, highest_of(interpolated_.data(), frames));
        }
        peak_ = std::max(peak_, static_cast<double>(highest));
        history.assign(line_.begin() + static_cast<std::ptrdiff_t>(frames),
                       line_.begin() + static_cast<std::ptrdiff_t>(frames + kTaps - 1));
    }

    // The highest magnitude of the first `count` values, a run of lanes at a
    // time for the same reason.
    static float highest_of(const float* values, std::size_t count) {
        std::array<float, kLanes> lanes{};
        const std::size_t whole_runs = count / kLanes * kLanes;
        for (std::size_t run = 0; run < whole_runs; run += kLanes) {
            for (std::size_t lane = 0; lane < kLanes; ++lane) {
                const float magnitude = std::fabs(values[run + lane]);
                lanes[lane] = magnitude > lanes[lane] ? magnitude : lanes[lane];
            }
        }
        float highest = *std::max_element(lanes.begin(), lanes.end());
        for (std::size_t i = whole_runs; i < count; ++i) highest = std::max(highest, std::fabs(values[i]));
        return highest;
    }

    void add_tap(float tap, const float* __restrict input, std::size_t padded) {
        float* __restrict output = interpolated_.data();
        for (std::size_t run = 0; run < padded; run += kLanes)
            for (std::size_t lane = 0; lane < kLanes; ++lane) output[run + lane] += tap * input[run + lane];
    }

    std::vector<std::vector<float>> histories_;
    std::vector<float> line_;
    std::vector<float> interpolated_;
    double peak_ = 0;
};

// Feeds decoded sound to the meter at its own rate.
class Meter {
public:
    bool add(const AudioBlock& block) {
        if (!meter_ && !start(block)) return false;
        true_peak_->add(block.samples, block.frames);
        return ebur128_add_frames_float(meter_.get(), block.samples, block.frames) == EBUR128_SUCCESS;
    }

    std::optional<MeasuredLoudness> result() const {
        double lufs = 0;
        if (!meter_ || ebur128_loudness_global(meter_.get(), &lufs) != EBUR128_SUCCESS ||
            !std::isfinite(lufs))
            return std::nullopt;
        const double peak = true_peak_->peak();
        return MeasuredLoudness{lufs, peak > 0 ? 20 * std::log10(peak) : -120.0};
    }

private:
    bool start(const AudioBlock& block) {
        const auto channels = static_cast<unsigned>(block.channels);
        meter_.reset(ebur128_init(channels, static_cast<unsigned long>(block.rate), EBUR128_MODE_I));
        true_peak_ = std::make_unique<TruePeakMeter>(channels);
        return meter_ != nullptr;
    }

    MeterPtr meter_;
    std::unique_ptr<TruePeakMeter> true_peak_;
};

// One channel of a block on both speakers, as the player sends out a mono
// sound, or one side of a stereo one.
class OnBothSpeakers {
public:
    AudioBlock of(const AudioBlock& block, int channel) {
        const auto channels = static_cast<std::size_t>(block.channels);
        samples_.resize(block.frames * 2);
        for (std::size_t i = 0; i < block.frames; ++i)
            samples_[2 * i] = samples_[2 * i + 1] =
                block.samples[i * channels + static_cast<std::size_t>(channel)];
        return AudioBlock{samples_.data(), block.frames, 2, block.rate};
    }

private:
    std::vector<float> samples_;
};

// The audio stream a song starts with, at its own rate, as heard. A stop
// that is set ends the decoding at the next block.
std::optional<MeasuredLoudness> measure_media(const QString& path, StereoSide heard,
                                              const std::atomic<bool>* stop) {
    Meter meter;
    int audio_streams = 0;
    bool one_stereo_stream = false;
    OnBothSpeakers on_both_speakers;
    const auto starting_stream = [&audio_streams](int streams) {
        audio_streams = streams;
        return AudioStreamRange{audio_stream_of_channel(streams, kStartingSoundChannel) - 1, 1};
    };
    const int decoded = decode_audio_streams(path, starting_stream, 0, [&](int, const AudioBlock& block) {
        if (stop && *stop) return false;
        one_stereo_stream = audio_streams == 1 && block.channels == 2;
        if (block.channels == 1) return meter.add(on_both_speakers.of(block, 0));
        if (one_stereo_stream && heard != StereoSide::both)
            return meter.add(on_both_speakers.of(block, heard == StereoSide::right ? 1 : 0));
        return meter.add(block);
    });
    if (decoded <= 0) return std::nullopt;
    std::optional<MeasuredLoudness> loudness = meter.result();
    if (loudness && one_stereo_stream) loudness->side = heard;
    return loudness;
}

}  // namespace

std::optional<MeasuredLoudness> measure_loudness(const QString& path, const QString& soundfont,
                                                 StereoSide heard, const std::atomic<bool>* stop) {
    if (!is_midi_file_name(path)) return measure_media(path, heard, stop);
    const QTemporaryDir folder;
    const QString wav = folder.filePath("rendered.wav");
    if (!folder.isValid() || !render_midi_to_wav(path, wav, soundfont)) return std::nullopt;
    return measure_media(wav, heard, stop);
}

void silence_decoder_messages() {
    av_log_set_level(AV_LOG_QUIET);
}

double loudness_gain_db(const MeasuredLoudness& loudness) {
    return std::min(kTargetLoudnessLufs - loudness.integrated_lufs,
                    kTruePeakCeilingDbtp - loudness.true_peak_dbtp);
}
