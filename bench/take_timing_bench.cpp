// How far apart the capture and the song start when a take begins: the
// capture is started first, then the song is played from its beginning, so
// the song's first played moment comes this long after the first kept frame.
// ALSA's "null" input and mpv with null outputs stand in for the devices.
#include "platform/alsa_wave_capture.h"
#include "platform/mpv_media_player.h"
#include "support/bench_clips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

namespace {

void BM_SongStartAfterCaptureStart(benchmark::State& bench) {
    const QString clip = bench_clips().short_song;
    QWidget window;
    MpvMediaPlayer song(&window, MpvPlayerOptions{.null_video = true, .null_audio = true});
    AlsaWaveCapture capture("null");
    double worst_ms = 0;
    for (auto _ : bench) {
        for (const char* command : {kCaptureCloseAll, kCaptureOpen, kCaptureStop, kCaptureSeekToStart,
                                    kCaptureSetFormat, kCaptureRecord})
            capture.send(command);
        QElapsedTimer clock;
        clock.start();
        qint64 capture_started_ns = -1;
        song.set_url("file://" + clip);
        song.play();
        while (song.position_seconds() <= 0) {
            if (capture_started_ns < 0 && capture.captured_frames() > 0)
                capture_started_ns = clock.nsecsElapsed();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        if (capture_started_ns < 0) capture_started_ns = clock.nsecsElapsed();
        const double gap_ms = (clock.nsecsElapsed() - capture_started_ns) / 1e6;
        worst_ms = std::max(worst_ms, gap_ms);
        bench.SetIterationTime(gap_ms / 1000);
        song.close();
        capture.send(kCaptureCloseAll);
    }
    bench.counters["worst_ms"] = worst_ms;
}
BENCHMARK(BM_SongStartAfterCaptureStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepare_media_engine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
