#include "support/bench_clips.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// A test picture with a running clock and a tone, so that every frame and
// every moment of sound differs as in real songs.
QStringList test_sources(const QString& size, int seconds) {
    const QString length = QString::number(seconds);
    return {"-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=25:d=" + length,
            "-f", "lavfi", "-i", "sine=f=440:d=" + length};
}

void make_clip(const QStringList& inputs, const QStringList& encoding, const QString& path) {
    const QStringList arguments =
        QStringList{"-loglevel", "error", "-y"} + inputs + encoding + QStringList{path};
    if (QProcess::execute("ffmpeg", arguments) != 0) {
        std::fprintf(stderr, "ffmpeg could not make %s\n", qPrintable(path));
        std::exit(1);
    }
}

const QTemporaryDir& clips_folder() {
    static const QTemporaryDir folder;
    return folder;
}

BenchClips make_clips(const QTemporaryDir& folder) {
    BenchClips clips{folder.filePath("hd.mp4"), folder.filePath("vcd.dat"), folder.filePath("short.mp4")};
    const QStringList h264 = {"-c:v",    "libx264", "-preset", "veryfast", "-pix_fmt",
                              "yuv420p", "-c:a",    "aac",     "-shortest"};
    make_clip(test_sources("1920x1080", 12), h264, clips.hd_h264);
    // The format of a video CD (an MPEG-1 program stream), named as the
    // disc's files are.
    make_clip(test_sources("352x288", 12), {"-target", "pal-vcd", "-f", "vcd"}, clips.vcd_dat);
    make_clip(test_sources("320x240", 3), h264, clips.short_song);
    return clips;
}

}  // namespace

const BenchClips& bench_clips() {
    static const BenchClips clips = make_clips(clips_folder());
    return clips;
}

QString make_bench_song(const QString& name, int seconds, const QString& size, const QStringList& encoding) {
    const QString length = QString::number(seconds);
    QStringList inputs{"-f", "lavfi", "-i",
                       "anoisesrc=color=pink:amplitude=0.3:sample_rate=44100:d=" + length};
    if (!size.isEmpty())
        inputs += QStringList{"-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=25:d=" + length};
    const QString path = clips_folder().filePath(name);
    make_clip(inputs, QStringList{"-ac", "2"} + encoding, path);
    return path;
}
