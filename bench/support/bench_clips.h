#pragma once

#include <QString>
#include <QStringList>

// Clips the playback benchmarks play, made with ffmpeg on first use in a
// temporary folder that goes with the program.
struct BenchClips {
    QString hd_h264;     // 1920 x 1080 H.264 at 25 fps with AAC sound, 12 s
    QString vcd_dat;     // a VCD's MPEG-1 program stream (352 x 288, MP2 sound), 12 s
    QString short_song;  // 320 x 240 H.264 with AAC sound, 3 s
};

// Exits the program when ffmpeg cannot make them.
const BenchClips& bench_clips();

// A song of `seconds` whose sound is stereo pink noise (changing all the
// time, as in real songs) and, when `size` is given, whose picture is a test
// picture with a running clock, encoded with `encoding` into `name` in the
// same temporary folder; exits the program when ffmpeg cannot make it.
QString make_bench_song(const QString& name, int seconds, const QString& size, const QStringList& encoding);
