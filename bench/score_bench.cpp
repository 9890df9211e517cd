// What the singing score costs: how soon the reference melody of a 5-minute
// song is ready after the song starts (target: under 2 s), and the share of
// one core that following the microphone takes while a song plays (target:
// at most 5 %). The playback benchmark's "jukebox_scoring" figures show the
// dropped frames with scoring on.
//
// Figures: ReferenceMelody's real time in ms per song; MicrophonePitch's
// core_share, the processor time of the listening over the length of sound
// it followed.
#include "platform/melody.h"
#include "platform/microphone_pitch.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <utility>

namespace {

constexpr int kSongSeconds = 300;

// The demo library's tune over its chord, half a second a note.
const QString kTune = "0.3*sin(PI*mod(2*t,1))*sin(2*PI*t*293.7*pow(2,mod(floor(2*t)*2,12)/12))";
const QString kChord = "0.12*(sin(2*PI*98*t)+sin(2*PI*147*t)+0.5*sin(2*PI*49*t))";

const QTemporaryDir& folder() {
    static const QTemporaryDir made;
    return made;
}

void run_ffmpeg(const QStringList& arguments, const QString& output) {
    if (QProcess::execute("ffmpeg",
                          QStringList{"-loglevel", "error", "-y"} + arguments + QStringList{output}) != 0) {
        std::fprintf(stderr, "ffmpeg could not make %s\n", qPrintable(output));
        std::exit(1);
    }
}

QStringList sound(const QString& expression) {
    return {"-f", "lavfi", "-i",
            QString("aevalsrc=exprs='%1':s=44100:d=%2").arg(expression).arg(kSongSeconds)};
}

QStringList video() {
    return {"-f", "lavfi", "-i", QString("testsrc2=size=352x288:rate=25:d=%1").arg(kSongSeconds)};
}

// Guide, accompaniment and melody streams with H.264 video, as the demo clips.
QString three_stream_song() {
    const QString path = folder().filePath("three_streams.mp4");
    run_ffmpeg(video() + sound(kTune + "+" + kChord) + sound(kChord) + sound(kTune) +
                   QStringList{"-map", "0:v", "-map", "1:a", "-map", "2:a", "-map", "3:a", "-c:v", "libx264",
                               "-preset", "ultrafast", "-c:a", "aac", "-b:a", "64k"},
               path);
    return path;
}

// A VCD's MPEG-1: the chord on the left, tune and chord on the right.
QString vcd_song() {
    const QString path = folder().filePath("vcd.mpg");
    run_ffmpeg(video() + QStringList{"-f", "lavfi", "-i",
                                     QString("aevalsrc=exprs='%1|%2':s=44100:d=%3")
                                         .arg(kChord, kTune + "+" + kChord)
                                         .arg(kSongSeconds),
                                     "-map", "0:v", "-map", "1:a", "-target", "pal-vcd", "-f", "mpeg"},
               path);
    return path;
}

void BM_ReferenceMelody(benchmark::State& bench, QString (*make)()) {
    const QString song = make();
    const std::atomic<bool> cancelled = false;
    for (auto _ : bench) {
        QElapsedTimer real;
        real.start();
        const std::optional<PitchTrack> melody = reference_melody(song, cancelled);
        bench.SetIterationTime(static_cast<double>(real.nsecsElapsed()) / 1e9);
        if (!melody) bench.SkipWithError("no melody found");
    }
}

double process_seconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// ALSA's file device over "null" hands the singer's sound (the tune, raw
// 16-bit stereo) to the capture as fast as it reads it; the time source lets
// a minute through at once, so the processor time is all the listening's.
constexpr int kSingerSeconds = 60;

void BM_MicrophonePitch(benchmark::State& bench) {
    const QString raw = folder().filePath("singer.raw");
    run_ffmpeg(
        {"-f", "lavfi", "-i", QString("aevalsrc=exprs='%1':s=44100:d=%2").arg(kTune).arg(kSingerSeconds),
         "-ac", "2", "-f", "s16le"},
        raw);
    QFile config(folder().filePath("asound.conf"));
    if (!config.open(QIODevice::WriteOnly)) std::exit(1);
    config.write(
        QString("pcm.null { type null }\npcm.singer { type file slave.pcm \"null\" file \"/dev/null\" "
                "infile \"%1\" format \"raw\" }\n")
            .arg(raw)
            .toUtf8());
    config.close();
    qputenv("ALSA_CONFIG_PATH", config.fileName().toUtf8());
    for (auto _ : bench) {
        bool started = false;
        AlsaMicrophonePitch microphone("singer", [&started]() -> std::chrono::nanoseconds {
            if (!std::exchange(started, true)) return std::chrono::nanoseconds(0);
            return std::chrono::seconds(kSingerSeconds);
        });
        const double before = process_seconds();
        if (!microphone.start()) bench.SkipWithError("no sound input");
        while (microphone.followed_frames() < qint64(kSingerSeconds) * 44100)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const PitchTrack heard = microphone.stop();
        bench.counters["core_share"] = (process_seconds() - before) / kSingerSeconds;
        bench.counters["sung_frames_share"] =
            static_cast<double>(
                std::count_if(heard.begin(), heard.end(), [](float note) { return note > 0; })) /
            static_cast<double>(heard.size());
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_ReferenceMelody, five_minutes_three_streams_mp4, three_stream_song)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ReferenceMelody, five_minutes_vcd_mpeg, vcd_song)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_MicrophonePitch)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
