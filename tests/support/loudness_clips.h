#pragma once

#include <QString>

// Songs of a chosen loudness in the formats of karaoke collections, and
// FFmpeg's own EBU R128 measurement of them (its ebur128 filter), which the
// jukebox's measurement is held against.
enum class ClipFormat {
    Mp3,
    VcdMpeg,  // MPEG-1 video with MP2 sound, as VCD rips hold
    Mp4,      // H.264 video with AAC sound
};

// A stereo clip of `seconds` at about `lufs`: pink noise, or a tone where
// noise that loud would clip.
void make_loudness_clip(const QString& path, ClipFormat format, double lufs, int seconds = 4);

struct FfmpegLoudness {
    double integrated_lufs = 0;
    double true_peak_dbtp = 0;
};

// FFmpeg's measurement of the file's first audio stream; a failing ffmpeg
// fails the calling test.
FfmpegLoudness ffmpeg_loudness(const QString& path);
