// How fast the jukebox measures a song's loudness (EBU R128 integrated
// loudness and true peak of its sound, the video left undecoded), on one
// core, for 4-minute clips of the formats karaoke collections hold.
//
// Figure: times_real_time, the clip's length over the processor time the
// measurement took on its thread (one core); 300 is what 1,000 songs in a
// quarter of an hour on two cores needs.
#include "platform/loudness_meter.h"
#include "platform/midi_renderer.h"
#include "support/bench_clips.h"

#include <QStringList>
#include <benchmark/benchmark.h>

#include <ctime>

namespace {

constexpr int kSongSeconds = 240;

QString make_song(const QString& name, const QString& size, const QStringList& encoding) {
    return make_bench_song(name, kSongSeconds, size, encoding);
}

double thread_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void measure(benchmark::State& bench, const QString& song) {
    double processor_seconds = 0;
    for (auto _ : bench) {
        const double start = thread_seconds();
        const std::optional<MeasuredLoudness> loudness = measure_loudness(song, kDefaultSoundfont);
        processor_seconds += thread_seconds() - start;
        if (!loudness) bench.SkipWithError("the clip could not be measured");
        benchmark::DoNotOptimize(loudness);
    }
    bench.counters["times_real_time"] =
        static_cast<double>(bench.iterations()) * kSongSeconds / processor_seconds;
}

void VcdMpeg1WithMp2(benchmark::State& bench) {
    static const QString song =
        make_song("vcd.mpg", "352x288", {"-c:v", "mpeg1video", "-c:a", "mp2", "-b:a", "224k"});
    measure(bench, song);
}

void H264WithAac(benchmark::State& bench) {
    static const QString song =
        make_song("song.mp4", "640x360", {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"});
    measure(bench, song);
}

void Mp3(benchmark::State& bench) {
    static const QString song = make_song("song.mp3", "", {"-c:a", "libmp3lame", "-b:a", "192k"});
    measure(bench, song);
}

BENCHMARK(VcdMpeg1WithMp2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(H264WithAac)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Mp3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char* argv[]) {
    silence_decoder_messages();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
