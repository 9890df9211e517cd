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

// Which audio streams to decode, counted in the order the file stores them
// (0 for the first): `count` streams from `first`, fewer when the file
// holds fewer.
struct AudioStreamRange {
    int first = 0;
    int count = 1;
};
// Chooses the range knowing how many audio streams the file holds.
using AudioStreamChooser = std::function<AudioStreamRange(int audio_streams)>;

// Decodes the audio streams `choose` names, converted to floats at `rate`
// (0: each stream's own rate), every channel kept, and hands each block to
// `take` with the stream's place in the range (0 for its first).
// Returns how many audio streams were decoded; 0 when the file cannot be
// opened or holds no audio in the range, -1 when decoding failed or `take`
// said false. A stream that changes its format midway (a broken one) has the
// frames that differ left out rather than read the wrong way.
using AudioBlockTaker = std::function<bool(int stream, const AudioBlock& block)>;
int decode_audio_streams(const QString& path, const AudioStreamChooser& choose, int rate,
                         const AudioBlockTaker& take);
