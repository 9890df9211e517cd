#include "platform/audio_decoder.h"

#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
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
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFreer>;

// Turns one stream's decoded frames into interleaved floats at the rate
// asked for. Sample format, rate and channels are those of the first frame.
class FloatConverter {
public:
    FloatConverter(int stream, int rate, const AudioBlockTaker& take)
        : stream_(stream), rate_(rate), take_(take) {}

    bool add(const AVFrame& frame) {
        if (!resampler_ && !start(frame)) return false;
        if (!like_first_frame(frame)) return true;
        return convert(const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
    }

    // What the resampler still holds at the end of the stream.
    bool finish() { return !resampler_ || convert(nullptr, 0); }

private:
    bool like_first_frame(const AVFrame& frame) const {
        return frame.format == format_ && frame.sample_rate == in_rate_ &&
               frame.ch_layout.nb_channels == channels_;
    }

    bool start(const AVFrame& frame) {
        format_ = frame.format;
        in_rate_ = frame.sample_rate;
        channels_ = frame.ch_layout.nb_channels;
        if (channels_ <= 0 || in_rate_ <= 0) return false;
        if (rate_ == 0) rate_ = in_rate_;
        SwrContext* resampler = nullptr;
        // FFmpeg 5.1 takes the layouts as non-const; it only reads them.
        AVChannelLayout layout = frame.ch_layout;
        if (swr_alloc_set_opts2(&resampler, &layout, AV_SAMPLE_FMT_FLT, rate_, &layout,
                                static_cast<AVSampleFormat>(frame.format), in_rate_, 0, nullptr) < 0)
            return false;
        resampler_.reset(resampler);
        return swr_init(resampler) >= 0;
    }

    bool convert(const std::uint8_t** input, int frames) {
        const int room = swr_get_out_samples(resampler_.get(), frames);
        if (room <= 0) return true;
        samples_.resize(static_cast<std::size_t>(room) * static_cast<std::size_t>(channels_));
        auto* out = reinterpret_cast<std::uint8_t*>(samples_.data());
        const int converted = swr_convert(resampler_.get(), &out, room, input, frames);
        if (converted < 0) return false;
        if (converted == 0) return true;
        return take_(stream_,
                     AudioBlock{samples_.data(), static_cast<std::size_t>(converted), channels_, rate_});
    }

    const int stream_;
    int rate_;
    const AudioBlockTaker& take_;
    ResamplerPtr resampler_;
    int format_ = -1;
    int in_rate_ = 0;
    int channels_ = 0;
    std::vector<float> samples_;
};

// One audio stream opened for decoding on the calling thread alone: the
// loudness measurement runs one file per core.
struct StreamDecoder {
    int file_stream = -1;
    CodecPtr codec;
    std::unique_ptr<FloatConverter> converter;
};

bool open_decoder(const AVStream& stream, StreamDecoder& decoder) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec) return false;
    decoder.codec.reset(avcodec_alloc_context3(codec));
    if (!decoder.codec || avcodec_parameters_to_context(decoder.codec.get(), stream.codecpar) < 0)
        return false;
    decoder.codec->thread_count = 1;
    return avcodec_open2(decoder.codec.get(), codec, nullptr) >= 0;
}

int count_audio_streams(const AVFormatContext& format) {
    int audio_streams = 0;
    for (unsigned i = 0; i < format.nb_streams; ++i)
        if (format.streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) ++audio_streams;
    return audio_streams;
}

// The audio streams chosen, counted in the order they are stored (as the
// player counts them, not by FFmpeg's "best" one); the demuxer skips every
// other stream's packets (the video) unread.
std::vector<StreamDecoder> open_audio_streams(AVFormatContext& format, const AudioStreamChooser& choose,
                                              int rate, const AudioBlockTaker& take) {
    const AudioStreamRange range = choose(count_audio_streams(format));
    std::vector<StreamDecoder> decoders;
    int audio_stream = -1;
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        AVStream& stream = *format.streams[i];
        stream.discard = AVDISCARD_ALL;
        if (stream.codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        ++audio_stream;
        if (audio_stream < range.first || audio_stream >= range.first + range.count) continue;
        StreamDecoder decoder;
        if (!open_decoder(stream, decoder)) return {};
        decoder.file_stream = static_cast<int>(i);
        decoder.converter = std::make_unique<FloatConverter>(static_cast<int>(decoders.size()), rate, take);
        stream.discard = AVDISCARD_DEFAULT;
        decoders.push_back(std::move(decoder));
    }
    return decoders;
}

// Takes every frame the decoder has ready; false on a decoding error.
bool drain_decoder(StreamDecoder& decoder, AVFrame& frame) {
    for (;;) {
        const int rc = avcodec_receive_frame(decoder.codec.get(), &frame);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) return false;
        const bool added = decoder.converter->add(frame);
        av_frame_unref(&frame);
        if (!added) return false;
    }
}

StreamDecoder* decoder_of(std::vector<StreamDecoder>& decoders, int file_stream) {
    for (StreamDecoder& decoder : decoders)
        if (decoder.file_stream == file_stream) return &decoder;
    return nullptr;
}

bool decode_all(AVFormatContext& format, std::vector<StreamDecoder>& decoders) {
    const PacketPtr packet(av_packet_alloc());
    const FramePtr frame(av_frame_alloc());
    if (!packet || !frame) return false;
    while (av_read_frame(&format, packet.get()) >= 0) {
        bool fine = true;
        StreamDecoder* decoder = decoder_of(decoders, packet->stream_index);
        // A damaged packet is skipped, as the player skips it.
        if (decoder && avcodec_send_packet(decoder->codec.get(), packet.get()) >= 0)
            fine = drain_decoder(*decoder, *frame);
        av_packet_unref(packet.get());
        if (!fine) return false;
    }
    for (StreamDecoder& decoder : decoders) {
        avcodec_send_packet(decoder.codec.get(), nullptr);
        if (!drain_decoder(decoder, *frame) || !decoder.converter->finish()) return false;
    }
    return true;
}

}  // namespace

int decode_audio_streams(const QString& path, const AudioStreamChooser& choose, int rate,
                         const AudioBlockTaker& take) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.toUtf8().constData(), nullptr, nullptr) < 0) return 0;
    const FormatPtr format(opened);
    if (avformat_find_stream_info(opened, nullptr) < 0) return 0;
    std::vector<StreamDecoder> decoders = open_audio_streams(*opened, choose, rate, take);
    if (decoders.empty()) return 0;
    return decode_all(*opened, decoders) ? static_cast<int>(decoders.size()) : -1;
}
