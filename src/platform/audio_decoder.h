#pragma once

// The sound of a media file, decoded by FFmpeg's libraries: the video and
// every other stream are skipped unread. The loudness measurement and the
// singing score's reference melody both read songs through it.

#include <QString>

#include <cstddef>
#include <functional>

// A run of decoded sound: interleaved floats, 1.0 for full scale.
struct AudioBlock {
    const float* samples = nullptr;
    std::size_t frames = 0;
    int channels = 0;
    int rate = 0;
};

// Decodes the first `stream_count` audio streams of the file (fewer when it
// holds fewer), in the order they are stored, converted to floats at `rate`
// (0: each stream's own rate), every channel kept, and hands each block to
// `take` with the stream's place among the audio streams (0 for the first).
// Returns how many audio streams were decoded; 0 when the file cannot be
// opened or holds no audio, -1 when decoding failed or `take` said false.
// A stream that changes its format midway (a broken one) has the frames that
// differ left out rather than read the wrong way.
using AudioBlockTaker = std::function<bool(int stream, const AudioBlock& block)>;
int decode_audio_streams(const QString& path, int stream_count, int rate, const AudioBlockTaker& take);
