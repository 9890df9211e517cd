// What keeping the play queue on disk costs a change of the queue: the whole
// queue written beside the journal, synced, renamed over it and the folder
// synced, all on the user-interface thread before the screen confirms the
// change. Timed per change (an order appended, the head removed again) on a
// queue of `songs_waiting` entries, in a folder of the temporary folder's
// file system (the program folder's own disk in a room), with the 95th
// percentile and the worst change. The target: p95 at most 2 ms.

#include "foundation/app_state.h"
#include "foundation/queue_journal.h"
#include "support/median_timer.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_QueueChangeWrittenToTheJournal(benchmark::State& bench) {
    QTemporaryDir folder(QDir::tempPath() + "/karaoke-bench-XXXXXX");
    AppState state;
    state.program_folder = folder.path();
    resume_queue_journal(state);
    const int waiting = int(bench.range(0));
    for (int i = 0; i < waiting; ++i)
        state.play_queue.append(QString::number(1000000 + i), "一首歌的名字--歌星",
                                "/歌曲/國語/一首歌的名字.mp4");
    bool ordering = true;
    run_timing_percentiles(bench, [&] {
        if (ordering)
            state.play_queue.append("2000000", "新點的歌--歌星", "/歌曲/國語/新點的歌.mp4");
        else
            state.play_queue.delete_at(state.play_queue.size() - 1);
        ordering = !ordering;
    });
    bench.counters["songs_waiting"] = waiting;
}
BENCHMARK(BM_QueueChangeWrittenToTheJournal)
    ->Arg(0)
    ->Arg(30)
    ->Arg(300)
    ->Iterations(400)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
