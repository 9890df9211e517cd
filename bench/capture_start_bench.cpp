#include "platform/alsa_wave_capture.h"

#include <benchmark/benchmark.h>

#include <thread>

// How long the steps that start a take keep the window thread, and how long
// until the first frame of the take is kept: together the delay between the
// song's restart and the start of its recording. ALSA's "null" input stands
// in for the sound card, so a real card's own delivery delay comes on top.
namespace {

void send_start_steps(AlsaWaveCapture& capture) {
    for (const char* command : {kCaptureCloseAll, kCaptureOpen, kCaptureStop, kCaptureSeekToStart,
                                kCaptureSetFormat, kCaptureRecord}) {
        capture.send(command);
    }
}

void BM_StartStepsReturn(benchmark::State& state) {
    AlsaWaveCapture capture("null");
    for (auto _ : state) {
        send_start_steps(capture);
        state.PauseTiming();
        capture.send(kCaptureCloseAll);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartStepsReturn)->Unit(benchmark::kMillisecond);

void BM_StartStepsToFirstFrame(benchmark::State& state) {
    AlsaWaveCapture capture("null");
    for (auto _ : state) {
        send_start_steps(capture);
        while (capture.captured_frames() == 0) std::this_thread::yield();
        state.PauseTiming();
        capture.send(kCaptureCloseAll);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartStepsToFirstFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
