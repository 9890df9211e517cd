// How long the sound stops when the guest picks a side ("聲道" on media with
// one stereo stream) or steps the key in mid-song. The engine plays a
// VCD-style clip in real time into mpv's null sound output, which drains
// its buffer at the pace of a sound card; the position is read every
// millisecond. A switch that held the sound up would stop the position
// while the wall clock runs on (and leave it behind the clock); one that
// threw buffered sound away would make it jump ahead.
//
// Figures, each the median of the iterations (other programs on the machine
// make single runs stall): stall_ms, the longest time the position stood
// still while playing (its floor is how often mpv moves the position, about
// 50 ms); drift_ms, how far the sound fell behind the wall clock over the ten
// switches. The run without switches is the floor of both.
#include "platform/mpv_media_player.h"
#include "support/bench_clips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int kSwitches = 10;
constexpr double kSecondsBetweenSwitches = 0.4;

using Switch = std::function<void(MpvMediaPlayer&, int)>;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void wait_for_position(MpvMediaPlayer& engine, double seconds) {
    while (engine.position_seconds() < seconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

void measure_switches(benchmark::State& bench, const Switch& switch_sound) {
    QWidget window;
    MpvMediaPlayer engine(&window, MpvPlayerOptions{.null_video = true, .null_audio = true});
    std::vector<double> stalls_ms;
    std::vector<double> drifts_ms;
    for (auto _ : bench) {
        engine.set_url("file://" + bench_clips().vcd_dat);
        engine.play();
        wait_for_position(engine, 0.5);
        QElapsedTimer wall;
        wall.start();
        const double first_position = engine.position_seconds();
        double last_position = first_position;
        qint64 still_since_ns = 0;
        double stall_ms = 0;
        for (int done = 0; done < kSwitches;) {
            if (wall.nsecsElapsed() >= (done + 1) * kSecondsBetweenSwitches * 1e9)
                switch_sound(engine, done++);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QThread::usleep(500);
            const double position = engine.position_seconds();
            const qint64 now_ns = wall.nsecsElapsed();
            if (position != last_position) {
                last_position = position;
                still_since_ns = now_ns;
            }
            stall_ms = std::max(stall_ms, (now_ns - still_since_ns) / 1e6);
        }
        // Positive: the sound fell behind the clock (it stopped for a while).
        const double drift_ms = wall.nsecsElapsed() / 1e6 - (last_position - first_position) * 1000;
        stalls_ms.push_back(stall_ms);
        drifts_ms.push_back(drift_ms);
        bench.SetIterationTime(stall_ms / 1000);
        engine.close();
        engine.set_stereo_side(StereoSide::both);
        engine.set_key_shift(0);
    }
    bench.counters["stall_ms"] = median(stalls_ms);
    bench.counters["drift_ms"] = median(drifts_ms);
}

void BM_NoSwitch(benchmark::State& bench) {
    measure_switches(bench, [](MpvMediaPlayer&, int) {});
}

void BM_SideSwitch(benchmark::State& bench) {
    static const StereoSide kSides[] = {StereoSide::left, StereoSide::right, StereoSide::both};
    measure_switches(bench, [](MpvMediaPlayer& engine, int i) { engine.set_stereo_side(kSides[i % 3]); });
}

// The same with the song two semitones up: the pitch filter stays.
void BM_SideSwitchWithKeyShifted(benchmark::State& bench) {
    static const StereoSide kSides[] = {StereoSide::left, StereoSide::right, StereoSide::both};
    measure_switches(bench, [](MpvMediaPlayer& engine, int i) {
        if (i == 0) engine.set_key_shift(2);
        engine.set_stereo_side(kSides[i % 3]);
    });
}

// Up to +3 and back down to -2: the filter comes in, changes and goes.
void BM_KeyStep(benchmark::State& bench) {
    static const int kShifts[] = {1, 2, 3, 2, 1, 0, -1, -2, -1, 0};
    measure_switches(bench, [](MpvMediaPlayer& engine, int i) { engine.set_key_shift(kShifts[i % 10]); });
}

BENCHMARK(BM_NoSwitch)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SideSwitch)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SideSwitchWithKeyShifted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_KeyStep)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

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
