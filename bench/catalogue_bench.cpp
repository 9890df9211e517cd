// The catalogue lookups on a 100,000-song, 10,000-singer catalogue, each beside
// the same SQL run on bare SQLite (one connection kept open, statements
// prepared, stepped and finalized), so the cost of our layer shows. The
// lookups run in both connection modes. Figures: counter median_us.

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"
#include "foundation/stroke_collation.h"
#include "support/median_timer.h"
#include "support/synthetic_catalogue.h"

#include <QElapsedTimer>
#include <QFile>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const SyntheticCatalogueFolder& catalogue() {
    static const SyntheticCatalogueFolder folder;
    return folder;
}

AppState& app_state() {
    static const std::unique_ptr<AppState> state = [] {
        auto made = std::make_unique<AppState>();
        made->app_folder = catalogue().app_folder();
        made->db_path = catalogue().db_path();
        return made;
    }();
    return *state;
}

// Every hundredth song number, to look up in turn.
const std::vector<QString>& sample_numbers() {
    static const std::vector<QString> numbers = [] {
        std::vector<QString> found;
        for (Recordset rows =
                 open_recordset("SELECT song_num FROM song WHERE rowid % 100 = 0", app_state().db_path);
             !rows.Eof(); rows.MoveNext())
            found.push_back(rows.Field("song_num"));
        return found;
    }();
    return numbers;
}

struct KindCount {
    int kind;
    int count;
    int songs;
};

// The category and length whose list comes closest to 1,500 songs.
KindCount kind_count_near_1500() {
    const Recordset best = open_recordset(
        "SELECT song_kind, song_text_count, COUNT(*) AS songs FROM song WHERE song_text_count <= 9 "
        "GROUP BY song_kind, song_text_count ORDER BY ABS(COUNT(*) - 1500) LIMIT 1",
        app_state().db_path);
    return {best.FieldInt("song_kind"), best.FieldInt("song_text_count"), best.FieldInt("songs")};
}

class ModeScope {
public:
    explicit ModeScope(ConnectionMode mode) { set_connection_mode(mode); }
    ~ModeScope() { set_connection_mode(ConnectionMode::KeptOpen); }
};

// Bare SQLite on the same file.
class RawCatalogue {
public:
    RawCatalogue() : db_(open()) {}
    ~RawCatalogue() { sqlite3_close_v2(db_); }

    static sqlite3* open() {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(catalogue().db_path()).constData(), &db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        register_stroke_collation(db);
        return db;
    }

    // Hands the statement to `row` for each row until it returns false.
    template <typename Row>
    static void query(sqlite3* db, const std::string& sql, Row&& row) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        while (sqlite3_step(statement) == SQLITE_ROW && row(statement)) {
        }
        sqlite3_finalize(statement);
    }
    template <typename Row>
    void query(const std::string& sql, Row&& row) {
        query(db_, sql, row);
    }

    static std::string text(sqlite3_stmt* statement, int column) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return value ? std::string(value, static_cast<size_t>(sqlite3_column_bytes(statement, column)))
                     : std::string();
    }

    std::string singer_name(int code) {
        std::string name = "找不到";
        query("SELECT * FROM singer WHERE singer_code = " + std::to_string(code), [&](sqlite3_stmt* row) {
            name = text(row, 1);
            return false;
        });
        return name;
    }

private:
    sqlite3* db_;
};

// A text between single quotes, for the raw queries of the floor.
std::string quoted(QString text) {
    return "'" + text.replace("'", "''").toStdString() + "'";
}

std::string song_name_sql(const QString& number) {
    return "SELECT * FROM song WHERE song_num = " + quoted(number);
}

void BM_get_song_name(benchmark::State& state, ConnectionMode mode) {
    ModeScope scope(mode);
    const auto& numbers = sample_numbers();
    size_t next = 0;
    run_timing_median(state, [&] {
        benchmark::DoNotOptimize(get_song_name(app_state(), numbers[next++ % numbers.size()]));
    });
}
BENCHMARK_CAPTURE(BM_get_song_name, kept_open, ConnectionMode::KeptOpen)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_get_song_name, per_call, ConnectionMode::PerCall)->Unit(benchmark::kMicrosecond);

void BM_raw_get_song_name(benchmark::State& state) {
    RawCatalogue raw;
    const auto& numbers = sample_numbers();
    size_t next = 0;
    run_timing_median(state, [&] {
        std::string name;
        raw.query(song_name_sql(numbers[next++ % numbers.size()]), [&](sqlite3_stmt* row) {
            name = RawCatalogue::text(row, 2);
            return false;
        });
        benchmark::DoNotOptimize(name);
    });
}
BENCHMARK(BM_raw_get_song_name)->Unit(benchmark::kMicrosecond);

void BM_raw_get_song_name_new_connection(benchmark::State& state) {
    const auto& numbers = sample_numbers();
    size_t next = 0;
    run_timing_median(state, [&] {
        sqlite3* db = RawCatalogue::open();
        std::string name;
        RawCatalogue::query(db, song_name_sql(numbers[next++ % numbers.size()]), [&](sqlite3_stmt* row) {
            name = RawCatalogue::text(row, 2);
            return false;
        });
        sqlite3_close_v2(db);
        benchmark::DoNotOptimize(name);
    });
}
BENCHMARK(BM_raw_get_song_name_new_connection)->Unit(benchmark::kMicrosecond);

void BM_get_singer_name(benchmark::State& state) {
    int code = 0;
    run_timing_median(state,
                      [&] { benchmark::DoNotOptimize(get_singer_name(app_state(), 1 + code++ % 10000)); });
}
BENCHMARK(BM_get_singer_name)->Unit(benchmark::kMicrosecond);

void BM_raw_get_singer_name(benchmark::State& state) {
    RawCatalogue raw;
    int code = 0;
    run_timing_median(state, [&] { benchmark::DoNotOptimize(raw.singer_name(1 + code++ % 10000)); });
}
BENCHMARK(BM_raw_get_singer_name)->Unit(benchmark::kMicrosecond);

void BM_load_songs_by_kind_count(benchmark::State& state, ConnectionMode mode) {
    ModeScope scope(mode);
    const KindCount near = kind_count_near_1500();
    run_timing_median(state, [&] { load_songs_by_kind_count(app_state(), near.kind, near.count); });
    state.counters["songs"] = near.songs;
}
BENCHMARK_CAPTURE(BM_load_songs_by_kind_count, kept_open, ConnectionMode::KeptOpen)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_load_songs_by_kind_count, per_call, ConnectionMode::PerCall)
    ->Unit(benchmark::kMillisecond);

// Ten characters or more: a larger result of which the list keeps 1,501.
void BM_load_songs_by_kind_count_ten_or_more(benchmark::State& state) {
    run_timing_median(state, [&] { load_songs_by_kind_count(app_state(), 1, 12); });
}
BENCHMARK(BM_load_songs_by_kind_count_ten_or_more)->Unit(benchmark::kMillisecond);

void BM_raw_load_songs_by_kind_count(benchmark::State& state) {
    RawCatalogue raw;
    const KindCount near = kind_count_near_1500();
    const std::string sql = "SELECT * FROM song WHERE song_kind = " + std::to_string(near.kind) +
                            " AND song_text_count = " + std::to_string(near.count) +
                            " ORDER BY song_name COLLATE stroke";
    run_timing_median(state, [&] {
        std::vector<std::string> list;
        raw.query(sql, [&](sqlite3_stmt* row) {
            list.push_back(RawCatalogue::text(row, 0));
            list.push_back(RawCatalogue::text(row, 2) + "--" + raw.singer_name(sqlite3_column_int(row, 4)));
            return list.size() < 2 * 1501;
        });
        benchmark::DoNotOptimize(list);
    });
    state.counters["songs"] = near.songs;
}
BENCHMARK(BM_raw_load_songs_by_kind_count)->Unit(benchmark::kMillisecond);

void BM_load_singers_by_sex(benchmark::State& state, ConnectionMode mode) {
    ModeScope scope(mode);
    run_timing_median(state, [&] { load_singers_by_sex(app_state(), 0); });
}
BENCHMARK_CAPTURE(BM_load_singers_by_sex, kept_open, ConnectionMode::KeptOpen)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_load_singers_by_sex, per_call, ConnectionMode::PerCall)->Unit(benchmark::kMillisecond);

void BM_raw_load_singers_by_sex(benchmark::State& state) {
    RawCatalogue raw;
    run_timing_median(state, [&] {
        std::vector<std::string> list;
        raw.query("SELECT * FROM singer WHERE singer_sex = 0 ORDER BY singer_name COLLATE stroke",
                  [&](sqlite3_stmt* row) {
                      list.push_back(RawCatalogue::text(row, 0));
                      list.push_back(RawCatalogue::text(row, 1));
                      return list.size() < 2 * 1001;
                  });
        benchmark::DoNotOptimize(list);
    });
}
BENCHMARK(BM_raw_load_singers_by_sex)->Unit(benchmark::kMillisecond);

// Manager mode finds singers by name with "=", answered by the byte-order
// index of singer_name.
const std::string kSingerByName = "SELECT * FROM singer WHERE singer_name = ";

QString some_singer_name() {
    return open_recordset("SELECT singer_name FROM singer WHERE singer_code = 5000", app_state().db_path)
        .Field("singer_name");
}

void BM_singer_by_name(benchmark::State& state) {
    const QString name = some_singer_name();
    run_timing_median(
        state, [&] { benchmark::DoNotOptimize(singers_named(shared_session(app_state().db_path), name)); });
}
BENCHMARK(BM_singer_by_name)->Unit(benchmark::kMicrosecond);

void BM_raw_singer_by_name(benchmark::State& state) {
    RawCatalogue raw;
    const std::string sql = kSingerByName + quoted(some_singer_name());
    run_timing_median(state, [&] {
        int code = 0;
        raw.query(sql, [&](sqlite3_stmt* row) {
            code = sqlite3_column_int(row, 0);
            return true;
        });
        benchmark::DoNotOptimize(code);
    });
}
BENCHMARK(BM_raw_singer_by_name)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer generation;
    generation.start();
    app_state();
    std::printf("synthetic catalogue of 100,000 songs and 10,000 singers made in %lld ms\n",
                static_cast<long long>(generation.elapsed()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    close_kept_connection();
}
