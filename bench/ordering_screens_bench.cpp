// What a guest waits for on the screens of ordering by character count and
// by singer, on a catalogue of 100,000 songs and 10,000 singers: every key
// goes through the main menu's key handler, and the next frame of the shown
// window is painted as Qt paints it (what changed, into the window's backing
// store), with the program's style. A key should cost less than one
// frame (16 ms). The screens are measured at 1024 x 768, 1920 x 1080 and
// 3840 x 2160, one row each. Counters: keys timed, median_us and worst_us
// per key (wall clock), median_cpu_us and worst_cpu_us (the thread's
// processor time, which other programs on the machine inflate far less),
// glyph_cache_mib (what the glyph pictures take after the run); the slowest
// screens and keys of each size are listed after the run.
// BM_OrderingScreenKeysWhileMeasuring runs the same keys with Loudness = 1
// while the menu's background measurement decodes the catalogue's first 400
// songs (4-minute MP3s not measured yet) at its low priority; counter
// files_measured is how many it finished during the timed keys.
#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/catalogue_session.h"
#include "foundation/loudness_background.h"
#include "ordering/main_menu.h"
#include "platform/cached_text_style.h"
#include "platform/desktop.h"
#include "platform/glyph_cache.h"
#include "support/bench_clips.h"
#include "support/null_media_player.h"
#include "support/synthetic_catalogue.h"
#include "widgets/picture_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <tuple>
#include <memory>
#include <vector>

namespace {

// Every path through both features: all categories with counts 1 to 10 and
// 12, paging, ordering and going back; all singer categories, paging,
// opening singers of several pages, paging and ordering their songs.
// "E" stands for Enter. A list number may name an empty position, which
// leaves the entry standing: the "."s after it take it back.
std::vector<QByteArray> guest_session() {
    std::vector<QByteArray> session;
    for (int kind = 0; kind <= 7; ++kind)
        for (const char* count : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "12"})
            session.push_back("1" + QByteArray::number(kind) + count + "E++-5E.11E..0E9");
    for (const char* sex : {"1", "2", "3"})
        session.push_back("2" + QByteArray(sex) + "++-1E.+-3E.0E+5E.+1E.0E15E..0E0E9");
    return session;
}

struct KeyTime {
    QString screen;  // the screen in front before the key
    char key;
    double micros;
    double cpu_micros;
};

double thread_cpu_micros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

// Loudness = 1, and the first songs by number play links to one 4-minute
// MP3, each link a file of its own to measure.
void give_songs_unmeasured_files(const SyntheticCatalogueFolder& catalogue, int songs) {
    const QString clip = make_bench_song("song.mp3", 240, "", {"-c:a", "libmp3lame", "-b:a", "192k"});
    const QString folder = catalogue.app_folder() + "songs/";
    QDir().mkpath(folder);
    CatalogueSession& session = shared_session(catalogue.db_path());
    for (Recordset numbers =
             session.rows(StoreStatement("SELECT song_num FROM song ORDER BY song_num"), {}, songs);
         !numbers.Eof(); numbers.MoveNext()) {
        const QString link = folder + numbers.Field("song_num") + ".mp3";
        QFile::link(clip, link);
        session.run(StoreStatement("UPDATE song SET song_location = $1 WHERE song_num = $2"),
                    {link, numbers.Field("song_num")});
    }
    QFile settings(catalogue.app_folder() + "Setting.ini");
    if (settings.open(QIODevice::WriteOnly)) settings.write("Loudness = 1\r\n");
}

class OrderingScreens {
public:
    OrderingScreens(QSize screen_size, bool measuring) {
        if (measuring) give_songs_unmeasured_files(catalogue_, 400);
        state_.program_folder = catalogue_.app_folder().chopped(1);
        state_.screen_size = screen_size;
        state_.platform.make_media_player = NullMediaPlayer::factory();
        menu_ = std::make_unique<main_menu>(state_);
        menu_->Form_Activate();
        menu_->show();
        paint_next_frame();
    }

    // Runs the keys from the main menu on.
    void run(const QByteArray& keys, std::vector<KeyTime>& times) {
        menu_->show_main_menu();
        for (const char* key = keys.constData(); *key; ++key) {
            const QString screen = menu_->screen_name();
            const double cpu_start = thread_cpu_micros();
            const auto start = std::chrono::steady_clock::now();
            menu_->Picture1_KeyPress(*key == 'E' ? 13 : *key);
            paint_next_frame();
            const auto spent = std::chrono::steady_clock::now() - start;
            times.push_back({screen, *key, std::chrono::duration<double, std::micro>(spent).count(),
                             thread_cpu_micros() - cpu_start});
        }
        // Keeps the queue from filling up over the repetitions.
        while (!state_.play_queue.empty()) state_.play_queue.delete_at(0);
    }

private:
    // What the event loop does before the next frame: the calls queued by
    // the key handler, then the window's update request, which paints (the
    // second round takes what the first one posted).
    static void paint_next_frame() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

public:
    int files_measured() const { return state_.loudness_worker ? state_.loudness_worker->files_stored() : 0; }

private:
    SyntheticCatalogueFolder catalogue_;
    AppState state_;
    std::unique_ptr<main_menu> menu_;
};

// The keys timed, by screen size and whether the loudness was measured meanwhile.
using Run = std::tuple<int, int, bool>;
std::map<Run, std::vector<KeyTime>>& all_times() {
    static std::map<Run, std::vector<KeyTime>> times;
    return times;
}

struct Summary {
    size_t keys;
    double median;  // wall clock, microseconds
    double worst;
    double median_cpu;
    double worst_cpu;
};

Summary summarize(const std::vector<KeyTime>& times) {
    std::vector<double> micros;
    std::vector<double> cpu_micros;
    for (const KeyTime& time : times) {
        micros.push_back(time.micros);
        cpu_micros.push_back(time.cpu_micros);
    }
    std::sort(micros.begin(), micros.end());
    std::sort(cpu_micros.begin(), cpu_micros.end());
    const size_t middle = micros.size() / 2;
    return {micros.size(), micros[middle], micros.back(), cpu_micros[middle], cpu_micros.back()};
}

void time_keys(benchmark::State& bench, bool measuring) {
    const QSize screen_size(int(bench.range(0)), int(bench.range(1)));
    OrderingScreens screens(screen_size, measuring);
    const std::vector<QByteArray> session = guest_session();
    for (const QByteArray& keys : session) {
        std::vector<KeyTime> warm_up;  // the first paint of every glyph
        screens.run(keys, warm_up);
    }
    std::vector<KeyTime>& times = all_times()[{screen_size.width(), screen_size.height(), measuring}];
    const int measured_before = screens.files_measured();
    for (auto _ : bench)
        for (const QByteArray& keys : session) screens.run(keys, times);
    bench.counters["files_measured"] = screens.files_measured() - measured_before;

    const Summary summary = summarize(times);
    bench.counters["keys"] = double(summary.keys);
    bench.counters["median_us"] = summary.median;
    bench.counters["worst_us"] = summary.worst;
    bench.counters["median_cpu_us"] = summary.median_cpu;
    bench.counters["worst_cpu_us"] = summary.worst_cpu;
    bench.counters["glyph_cache_mib"] = double(glyph_cache().bytes_used()) / (1024 * 1024);
}

void BM_OrderingScreenKeys(benchmark::State& bench) {
    time_keys(bench, false);
}
BENCHMARK(BM_OrderingScreenKeys)
    ->ArgNames({"width", "height"})
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_OrderingScreenKeysWhileMeasuring(benchmark::State& bench) {
    time_keys(bench, true);
}
BENCHMARK(BM_OrderingScreenKeysWhileMeasuring)
    ->ArgNames({"width", "height"})
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The slowest screens and keys of one screen size, the slowest first.
void report_keys(const std::vector<KeyTime>& times) {
    constexpr size_t kRowsShown = 12;
    std::map<std::pair<QString, char>, std::vector<KeyTime>> by_key;
    for (const KeyTime& time : times) by_key[{time.screen, time.key}].push_back(time);
    std::vector<std::pair<std::pair<QString, char>, Summary>> rows;
    for (const auto& [key, times] : by_key) rows.emplace_back(key, summarize(times));
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.second.worst > b.second.worst; });
    if (rows.size() > kRowsShown) rows.resize(kRowsShown);
    std::printf("%-8s %-5s %8s %12s %12s %12s\n", "screen", "key", "presses", "median_us", "worst_us",
                "worst_cpu_us");
    for (const auto& [key, summary] : rows)
        std::printf("%-8s %-5s %8zu %12.0f %12.0f %12.0f\n", qPrintable(key.first),
                    key.second == 'E' ? "Enter" : std::string(1, key.second).c_str(), summary.keys,
                    summary.median, summary.worst, summary.worst_cpu);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    install_font_substitutions();
    QApplication::setStyle(cached_text_style());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [run, times] : all_times()) {
        const auto& [width, height, measuring] = run;
        std::printf("\n%d x %d%s, the slowest keys:\n", width, height,
                    measuring ? " while measuring loudness" : "");
        report_keys(times);
    }
    close_kept_connection();
    return 0;
}
