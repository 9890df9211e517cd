// A venue's evening on one catalogue server: 20 rooms (threads, each with its
// own connection) order by category and length and by singer while a manager
// registers 10,000 files by file name, on a copy of the synthetic catalogue
// (100,000 songs, 10,000 singers) on a PostgreSQL 15 server the benchmark
// starts in a temporary folder.
//   BM_RoomLookupsWhileRegistering/PAUSE  each room pausing PAUSE ms after
//                                   each lookup (0: flat out); counters:
//                                   lookups, p50_ms, p95_ms, p99_ms (one
//                                   lookup: a list of songs by category and
//                                   length, or a singer's songs), open_ms
//                                   (the slowest room's connecting and first
//                                   lookup of each kind, before the
//                                   registration starts) and register_s, the
//                                   registration meanwhile
//   BM_RegisterOnServerAlone        the same registration with no rooms
//   BM_RegisterOnSqliteAlone        the same registration into karaoke.db
// Each runs once; times in register_s (scan and storing) and files_per_s.

#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "manager/reg_by_filename.h"
#include "support/folder_dialogs.h"
#include "support/postgres_server.h"
#include "support/synthetic_catalogue.h"
#include "tools/catalogue_tool.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <latch>
#include <memory>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr int kRooms = 20;
constexpr int kFiles = 10'000;

const SyntheticCatalogueFolder& synthetic() {
    static const SyntheticCatalogueFolder folder;
    return folder;
}

PostgresServer& server() {
    PostgresServer* shared = PostgresServer::shared();
    if (!shared) throw std::runtime_error("the PostgreSQL 15 server programs are not installed");
    return *shared;
}

// A new database on the server holding a copy of the synthetic catalogue.
QString server_copy() {
    const QString uri = server().new_database();
    const CatalogueToolOutput quiet{[](const QString&) {},
                                    [](const QString& text) { qWarning("%s", qPrintable(text)); },
                                    [](const QString&) {}};
    if (run_catalogue_tool({"copy", synthetic().db_path(), uri}, quiet) != kToolOk)
        throw std::runtime_error("cannot copy the catalogue to the server");
    close_kept_connection();
    return uri;
}

// 10,000 well-formed files by the catalogue's first singers, every fifth a duet.
void make_song_files(const QString& folder) {
    QDir().mkpath(folder);
    const auto& kinds = song_kind_names();
    for (int i = 0; i < kFiles; ++i) {
        QString singer = QString("歌手%1").arg(i % 500);
        QFile file(folder +
                   QString("/%1,夜曲%2,%3,8.mpg").arg(singer).arg(i, 6, 10, QChar('0')).arg(kinds[i % 8]));
        if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot make the song files");
    }
}

// The manager's registration window on a catalogue and a folder of new files.
class Registration {
public:
    explicit Registration(const QString& db_path) {
        state_.app_folder = dir_.path() + "/";
        state_.db_path = db_path;
        state_.platform.dialogs = &dialogs_;
        dialogs_.folder = dir_.path() + "/songs";
        make_song_files(dialogs_.folder);
        add_missing_singers();
        window_ = std::make_unique<reg_by_filename>(state_, nullptr);
    }
    // Scans the folder and stores every file; the seconds it took.
    double run() {
        QElapsedTimer timer;
        timer.start();
        window_->cmdBrowse_Click();
        window_->cmdReg_Click();
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        if (!dialogs_.last_notice.isEmpty()) throw std::runtime_error(dialogs_.last_notice.toStdString());
        return seconds;
    }

private:
    void add_missing_singers() {
        CatalogueSession& session = shared_session(state_.db_path);
        WriteTransaction write(session);
        for (int i = 0; i < 500; ++i) {
            const QString name = QString("歌手%1").arg(i);
            if (singers_named(session, name).Eof()) add_singer(session, name, 0);
        }
        write.commit();
    }

    QTemporaryDir dir_{QDir::tempPath() + "/karaoke-bench-XXXXXX"};
    AppState state_;
    FolderDialogs dialogs_;
    std::unique_ptr<reg_by_filename> window_;
};

// The two lookups a guest's keys ask for: a list of songs by category and
// length, and a singer's songs.
void order_by_count(AppState& room, std::mt19937& random) {
    load_songs_by_kind_count(room, static_cast<int>(random() % 8), 1 + static_cast<int>(random() % 10));
}

void order_by_singer(AppState& room, std::mt19937& random) {
    load_songs_by_singer(room, 1 + static_cast<int>(random() % 10'000));
}

double milliseconds_since(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

struct RoomTimes {
    double opening_ms = 0;        // connecting and the first lookup of each kind
    std::vector<double> lookups;  // every lookup after those
};

// One room ordering until told to stop, pausing `pause_ms` after each lookup
// (0: flat out). A room connects when the jukebox starts, long before the
// evening's first guest orders, and a new connection's first lookup of each
// kind also fills the server's caches for it: so each room makes those
// lookups first, timed apart, and waits at `opened` for the others before
// the registration starts. The room's state is made on the main thread (it
// watches the application's keys).
RoomTimes room_orders(AppState& room, unsigned seed, int pause_ms, std::latch& opened,
                      const std::atomic<bool>& stop) {
    std::mt19937 random(seed);
    RoomTimes times;
    QElapsedTimer timer;
    timer.start();
    order_by_count(room, random);
    order_by_singer(room, random);
    times.opening_ms = milliseconds_since(timer);
    opened.arrive_and_wait();
    while (!stop.load()) {
        timer.start();
        if (random() % 2 == 0) {
            order_by_count(room, random);
        } else {
            order_by_singer(room, random);
        }
        times.lookups.push_back(milliseconds_since(timer));
        std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms));
    }
    close_kept_connection();
    return times;
}

double percentile(std::vector<double>& values, double share) {
    if (values.empty()) return 0;
    const auto at =
        values.begin() + static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

void report_registration(benchmark::State& bench, double seconds) {
    bench.SetIterationTime(seconds);
    bench.counters["register_s"] = seconds;
    bench.counters["files_per_s"] = kFiles / seconds;
}

void report_rooms(benchmark::State& bench, const std::vector<RoomTimes>& times) {
    std::vector<double> all;
    double slowest_opening = 0;
    for (const RoomTimes& room : times) {
        all.insert(all.end(), room.lookups.begin(), room.lookups.end());
        slowest_opening = std::max(slowest_opening, room.opening_ms);
    }
    bench.counters["open_ms"] = slowest_opening;
    bench.counters["lookups"] = static_cast<double>(all.size());
    bench.counters["p50_ms"] = percentile(all, 0.50);
    bench.counters["p95_ms"] = percentile(all, 0.95);
    bench.counters["p99_ms"] = percentile(all, 0.99);
}

void BM_RoomLookupsWhileRegistering(benchmark::State& bench) {
    const QString uri = server_copy();
    Registration registration(uri);
    for (auto _ : bench) {
        std::atomic<bool> stop{false};
        std::vector<RoomTimes> times(kRooms);
        std::vector<std::unique_ptr<AppState>> states;
        for (int r = 0; r < kRooms; ++r) {
            states.push_back(std::make_unique<AppState>());
            states.back()->db_path = uri;
        }
        std::latch opened(kRooms + 1);
        std::vector<std::thread> rooms;
        for (int r = 0; r < kRooms; ++r)
            rooms.emplace_back([&, r] {
                times[r] = room_orders(*states[r], 1000 + r, static_cast<int>(bench.range(0)), opened, stop);
            });
        opened.arrive_and_wait();
        const double seconds = registration.run();
        stop = true;
        for (std::thread& room : rooms) room.join();
        report_registration(bench, seconds);
        report_rooms(bench, times);
    }
}
// Flat out, and with a tenth of a second between one room's lookups (still
// far more than guests key in).
BENCHMARK(BM_RoomLookupsWhileRegistering)
    ->Arg(0)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

void BM_RegisterOnServerAlone(benchmark::State& bench) {
    Registration registration(server_copy());
    for (auto _ : bench) report_registration(bench, registration.run());
}
BENCHMARK(BM_RegisterOnServerAlone)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_RegisterOnSqliteAlone(benchmark::State& bench) {
    QTemporaryDir dir(QDir::tempPath() + "/karaoke-bench-XXXXXX");
    const QString db_path = dir.path() + "/karaoke.db";
    QFile::copy(synthetic().db_path(), db_path);
    Registration registration(db_path);
    for (auto _ : bench) report_registration(bench, registration.run());
}
BENCHMARK(BM_RegisterOnSqliteAlone)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
