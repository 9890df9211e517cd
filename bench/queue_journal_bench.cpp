// What keeping the play queue on disk costs a change of the queue, on the
// user-interface thread before the screen confirms the change, in a folder of
// the temporary folder's file system (the program folder's own disk in a
// room), with the median, the 95th percentile and the worst call. The
// target: p95 at most 2 ms per change.
//
// The first benchmark times the ways a write can be made durable, each on its
// own, for a record of 4 KiB (about 30 songs): what the disk allows. The
// second times the journal itself.

#include "foundation/app_state.h"
#include "foundation/queue_journal.h"
#include "platform/durable_file.h"
#include "support/median_timer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

enum class SyncWay {
    new_file_renamed,
    fsync_in_place,
    fdatasync_in_place,
    o_dsync_in_place,
    sync_file_range_in_place,
    folder_fsync
};

constexpr const char* kSyncWayNames[] = {"new file, fsync, rename, folder fsync",
                                         "pwrite + fsync",
                                         "pwrite + fdatasync",
                                         "pwrite on O_DSYNC",
                                         "pwrite + sync_file_range (no disk flush)",
                                         "folder fsync alone"};

void BM_SyncPrimitive(benchmark::State& bench) {
    const auto way = SyncWay(bench.range(0));
    QTemporaryDir folder(QDir::tempPath() + "/karaoke-bench-XXXXXX");
    const QString path = folder.filePath("record");
    const QByteArray record(4096, 'q');
    // Preallocated with real blocks and synced, as the journal's file is.
    replace_file_durably(path, QByteArray(2 * record.size(), '\0'));
    const int flags = O_WRONLY | O_CLOEXEC | (way == SyncWay::o_dsync_in_place ? O_DSYNC : 0);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    off_t offset = 0;
    run_timing_percentiles(bench, [&] {
        switch (way) {
            case SyncWay::new_file_renamed:
                replace_file_durably(path, record);
                return;
            case SyncWay::folder_fsync:
                sync_folder_of(path);
                return;
            default:
                break;
        }
        // Alternating between two places, as the journal's slots do.
        offset = record.size() - offset;
        benchmark::DoNotOptimize(::pwrite(fd, record.constData(), size_t(record.size()), offset));
        if (way == SyncWay::fsync_in_place) ::fsync(fd);
        if (way == SyncWay::fdatasync_in_place) ::fdatasync(fd);
        if (way == SyncWay::sync_file_range_in_place)
            ::sync_file_range(
                fd, offset, record.size(),
                SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    });
    ::close(fd);
    bench.SetLabel(kSyncWayNames[bench.range(0)]);
}
BENCHMARK(BM_SyncPrimitive)->DenseRange(0, 5)->Iterations(400)->Unit(benchmark::kMillisecond);

// Per change (an order appended, the last song deleted again) on a queue of
// `songs_waiting` entries.
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
