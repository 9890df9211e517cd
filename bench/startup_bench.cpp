// How long the start-up routine takes on a machine that has run the jukebox
// before: a complete Setting.ini and a catalogue of 100,000 songs.
#include "foundation/app_state.h"
#include "foundation/startup.h"
#include "support/synthetic_catalogue.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

void BM_init_system_existing_files(benchmark::State& bench) {
    SyntheticCatalogueFolder folder;
    AppState state;
    state.program_folder = folder.app_folder().chopped(1);
    init_system(state);  // completes Setting.ini once, as the first start did
    for (auto _ : bench) {
        AppState fresh;
        fresh.program_folder = state.program_folder;
        init_system(fresh);
        benchmark::DoNotOptimize(fresh.settings.keyEnter);
    }
}
BENCHMARK(BM_init_system_existing_files)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
