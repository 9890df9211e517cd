#pragma once

#include <QString>

// Clips the playback benchmarks play, made with ffmpeg on first use in a
// temporary folder that goes with the program.
struct BenchClips {
    QString hd_h264;     // 1920 x 1080 H.264 at 25 fps with AAC sound, 12 s
    QString vcd_dat;     // a VCD's MPEG-1 program stream (352 x 288, MP2 sound), 12 s
    QString short_song;  // 320 x 240 H.264 with AAC sound, 3 s
};

// Exits the program when ffmpeg cannot make them.
const BenchClips& bench_clips();
