#include "support/loudness_clips.h"

#include "support/media_clips.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The loudness of ffmpeg's pink noise of amplitude 0.2 and of its default
// 997 Hz tone on two channels, as its ebur128 filter measures them.
constexpr double kNoiseLufs = -29.4;
constexpr double kToneLufs = -21.5;
// Louder noise than this would reach full scale.
constexpr double kLoudestNoiseLufs = -16;

QString sound_source(double lufs, int seconds) {
    const bool noise = lufs <= kLoudestNoiseLufs;
    const QString source = noise
                               ? QString("anoisesrc=color=pink:amplitude=0.2:seed=7:duration=%1").arg(seconds)
                               : QString("sine=frequency=997:duration=%1").arg(seconds);
    const double gain = lufs - (noise ? kNoiseLufs : kToneLufs);
    return QString("%1:sample_rate=48000,volume=%2dB,aformat=channel_layouts=stereo").arg(source).arg(gain);
}

QStringList video_input(int seconds) {
    return {"-f", "lavfi", "-i", QString("testsrc=size=160x120:rate=25:duration=%1").arg(seconds)};
}

QStringList format_options(ClipFormat format) {
    switch (format) {
        case ClipFormat::Mp3:
            return {"-c:a", "libmp3lame"};
        case ClipFormat::VcdMpeg:
            return {"-c:v", "mpeg1video", "-c:a", "mp2", "-ar", "44100", "-b:a", "224k"};
        case ClipFormat::Mp4:
            return {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"};
    }
    return {};
}

double summary_value(const QString& log, const QString& label) {
    // The summary comes last, after the running values of every 100 ms.
    const QRegularExpression line("^\\s+" + label + ":\\s+(-?[0-9.inf]+)",
                                  QRegularExpression::MultilineOption);
    double value = 0;
    for (auto match = line.globalMatch(log); match.hasNext();) value = match.next().captured(1).toDouble();
    return value;
}

}  // namespace

void make_loudness_clip(const QString& path, ClipFormat format, double lufs, int seconds) {
    QStringList inputs = {"-f", "lavfi", "-i", sound_source(lufs, seconds)};
    if (format != ClipFormat::Mp3) inputs = video_input(seconds) + inputs;
    run_ffmpeg(inputs + format_options(format), path);
}

FfmpegLoudness ffmpeg_loudness(const QString& path) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-nostats", "-hide_banner", "-i", path, "-map", "0:a:0", "-filter:a",
                            "ebur128=peak=true", "-f", "null", "-"});
    ffmpeg.waitForFinished(60000);
    const QString log = QString::fromUtf8(ffmpeg.readAllStandardError());
    EXPECT_EQ(ffmpeg.exitCode(), 0) << log.toStdString();
    return {summary_value(log, "I"), summary_value(log, "Peak")};
}
