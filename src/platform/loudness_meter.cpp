#include "platform/loudness_meter.h"

#include "platform/midi_renderer.h"

#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

extern "C" {
#include <ebur128.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};
struct CodecFreer {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ResamplerFreer {
    void operator()(SwrContext* resampler) const { swr_free(&resampler); }
};
struct MeterFreer {
    void operator()(ebur128_state* meter) const { ebur128_destroy(&meter); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFreer>;
using MeterPtr = std::unique_ptr<ebur128_state, MeterFreer>;

// The file's first audio stream opened for decoding on the calling thread
// alone: the measurement runs one file per core.
struct AudioSource {
    FormatPtr format;
    CodecPtr codec;
    int stream = -1;
};

std::optional<AudioSource> open_first_audio_stream(const QString& path) {
    AudioSource source;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0) return std::nullopt;
    source.format.reset(format);
    if (avformat_find_stream_info(format, nullptr) < 0) return std::nullopt;
    // The player starts with the first audio stream (not FFmpeg's "best"
    // one): that is the one measured.
    const AVCodec* decoder = nullptr;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            source.stream = static_cast<int>(i);
            decoder = avcodec_find_decoder(format->streams[i]->codecpar->codec_id);
            break;
        }
    }
    if (source.stream < 0 || !decoder) return std::nullopt;
    // The demuxer skips every other stream's packets (the video) unread.
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (static_cast<int>(i) != source.stream) format->streams[i]->discard = AVDISCARD_ALL;
    source.codec.reset(avcodec_alloc_context3(decoder));
    if (!source.codec ||
        avcodec_parameters_to_context(source.codec.get(), format->streams[source.stream]->codecpar) < 0)
        return std::nullopt;
    source.codec->thread_count = 1;
    if (avcodec_open2(source.codec.get(), decoder, nullptr) < 0) return std::nullopt;
    return source;
}

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
    void add_channel(std::size_t channel, const float* interleaved, std::size_t frames) {
        const std::size_t channels = histories_.size();
        std::vector<float>& history = histories_[channel];
        line_.assign(history.begin(), history.end());
        for (std::size_t i = 0; i < frames; ++i) line_.push_back(interleaved[i * channels + channel]);
        float highest = 0;
        for (std::size_t i = 0; i < frames; ++i) highest = std::max(highest, std::fabs(line_[i + kTaps - 1]));
        for (const auto& taps : phases()) {
            interpolated_.assign(frames, 0.0F);
            for (int j = 0; j < kTaps; ++j) {
                const float* input = line_.data() + (kTaps - 1 - j);
                for (std::size_t i = 0; i < frames; ++i) interpolated_[i] += taps[j] * input[i];
            }
            for (std::size_t i = 0; i < frames; ++i) highest = std::max(highest, std::fabs(interpolated_[i]));
        }
        peak_ = std::max(peak_, static_cast<double>(highest));
        history.assign(line_.end() - (kTaps - 1), line_.end());
    }

    std::vector<std::vector<float>> histories_;
    std::vector<float> line_;
    std::vector<float> interpolated_;
    double peak_ = 0;
};

// Feeds decoded frames to the meter as interleaved floats at their own rate.
class Meter {
public:
    bool add(const AVFrame& frame) {
        if (!meter_ && !start(frame)) return false;
        if (!like_first_frame(frame)) return true;
        float_samples_.resize(static_cast<std::size_t>(frame.nb_samples) * channels_);
        auto* out = reinterpret_cast<std::uint8_t*>(float_samples_.data());
        const int converted =
            swr_convert(resampler_.get(), &out, frame.nb_samples,
                        const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
        if (converted < 0) return false;
        true_peak_->add(float_samples_.data(), static_cast<std::size_t>(converted));
        return ebur128_add_frames_float(meter_.get(), float_samples_.data(),
                                        static_cast<std::size_t>(converted)) == EBUR128_SUCCESS;
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
    // Sample format, rate and channels are those of the first frame. A
    // stream that changes them midway (a broken one) has the frames that
    // differ left out rather than read the wrong way.
    bool like_first_frame(const AVFrame& frame) const {
        return frame.format == format_ && frame.sample_rate == rate_ &&
               frame.ch_layout.nb_channels == static_cast<int>(channels_);
    }

    bool start(const AVFrame& frame) {
        format_ = frame.format;
        rate_ = frame.sample_rate;
        channels_ = static_cast<unsigned>(frame.ch_layout.nb_channels);
        if (channels_ == 0 || frame.sample_rate <= 0) return false;
        SwrContext* resampler = nullptr;
        // FFmpeg 5.1 takes the layouts as non-const; it only reads them.
        AVChannelLayout layout = frame.ch_layout;
        if (swr_alloc_set_opts2(&resampler, &layout, AV_SAMPLE_FMT_FLT, frame.sample_rate, &layout,
                                static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr) < 0)
            return false;
        resampler_.reset(resampler);
        if (swr_init(resampler) < 0) return false;
        meter_.reset(ebur128_init(channels_, static_cast<unsigned long>(frame.sample_rate), EBUR128_MODE_I));
        true_peak_ = std::make_unique<TruePeakMeter>(channels_);
        return meter_ != nullptr;
    }

    ResamplerPtr resampler_;
    MeterPtr meter_;
    std::unique_ptr<TruePeakMeter> true_peak_;
    int format_ = -1;
    int rate_ = 0;
    unsigned channels_ = 0;
    std::vector<float> float_samples_;
};

// Takes every frame the decoder has ready; false on a decoding error.
bool drain_decoder(AVCodecContext& codec, AVFrame& frame, Meter& meter) {
    for (;;) {
        const int rc = avcodec_receive_frame(&codec, &frame);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) return false;
        const bool added = meter.add(frame);
        av_frame_unref(&frame);
        if (!added) return false;
    }
}

std::optional<MeasuredLoudness> measure_media(const QString& path, const std::atomic<bool>* stop) {
    std::optional<AudioSource> source = open_first_audio_stream(path);
    if (!source) return std::nullopt;
    const PacketPtr packet(av_packet_alloc());
    const FramePtr frame(av_frame_alloc());
    if (!packet || !frame) return std::nullopt;
    Meter meter;
    while ((!stop || !*stop) && av_read_frame(source->format.get(), packet.get()) >= 0) {
        bool fine = true;
        // A damaged packet is skipped, as the player skips it.
        if (packet->stream_index == source->stream &&
            avcodec_send_packet(source->codec.get(), packet.get()) >= 0)
            fine = drain_decoder(*source->codec, *frame, meter);
        av_packet_unref(packet.get());
        if (!fine) return std::nullopt;
    }
    avcodec_send_packet(source->codec.get(), nullptr);
    if (!drain_decoder(*source->codec, *frame, meter)) return std::nullopt;
    return meter.result();
}

}  // namespace

std::optional<MeasuredLoudness> measure_loudness(const QString& path, const QString& soundfont,
                                                 const std::atomic<bool>* stop) {
    if (!is_midi_file_name(path)) return measure_media(path, stop);
    const QTemporaryDir folder;
    const QString wav = folder.filePath("rendered.wav");
    if (!folder.isValid() || !render_midi_to_wav(path, wav, soundfont)) return std::nullopt;
    return measure_media(wav, stop);
}

void silence_decoder_messages() {
    av_log_set_level(AV_LOG_QUIET);
}

double loudness_gain_db(const MeasuredLoudness& loudness) {
    return std::min(kTargetLoudnessLufs - loudness.integrated_lufs,
                    kTruePeakCeilingDbtp - loudness.true_peak_dbtp);
}
