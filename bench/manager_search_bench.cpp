// What the manager waits for in the song window on a catalogue of 100,000
// songs and 10,000 singers: a search ("搜尋") with both keywords empty (the
// list keeps its first 2001 hits of all 100,000), with a one-character title
// keyword and with a singer keyword, and loading a hit into the edit area.
// Times are wall clock per action, including filling the list.

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "manager/song_modify.h"
#include "support/synthetic_catalogue.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

class SongWindow {
public:
    SongWindow() {
        state_.program_folder = catalogue_.app_folder().chopped(1);
        state_.app_folder = catalogue_.app_folder();
        state_.db_path = catalogue_.db_path();
        state_.screen_size = {1920, 1080};
        window_ = std::make_unique<song_modify>(state_, nullptr);
    }
    song_modify& window() { return *window_; }
    // A title character and a singer name the synthetic catalogue holds.
    QString some_title_character() const {
        return open_recordset("SELECT song_name FROM song WHERE rowid = 5000", state_.db_path)
            .Field("song_name")
            .left(1);
    }
    QString some_singer() const {
        return open_recordset("SELECT singer_name FROM singer WHERE singer_code = 77", state_.db_path)
            .Field("singer_name");
    }

private:
    SyntheticCatalogueFolder catalogue_;
    AppState state_;
    std::unique_ptr<song_modify> window_;
};

// Made on first use and dropped before the application ends, as its timers
// need the application.
std::unique_ptr<SongWindow>& song_window_holder() {
    static std::unique_ptr<SongWindow> window;
    return window;
}

SongWindow& song_window() {
    std::unique_ptr<SongWindow>& window = song_window_holder();
    if (!window) window = std::make_unique<SongWindow>();
    return *window;
}

void search(benchmark::State& bench, const QString& singer, const QString& title) {
    song_modify& window = song_window().window();
    window.keyword_singer.setText(singer);
    window.keyword_song.setText(title);
    for (auto _ : bench) window.key_search_Click();
    bench.counters["hits"] = window.List1.count();
}

void BM_SearchEverything(benchmark::State& bench) {
    search(bench, "", "");
}

void BM_SearchTitleCharacter(benchmark::State& bench) {
    search(bench, "", song_window().some_title_character());
}

void BM_SearchSinger(benchmark::State& bench) {
    search(bench, song_window().some_singer(), "");
}

void BM_LoadHit(benchmark::State& bench) {
    song_modify& window = song_window().window();
    window.keyword_singer.setText(song_window().some_singer());
    window.keyword_song.clear();
    window.key_search_Click();
    int row = 0;
    for (auto _ : bench) {
        window.List1.setCurrentRow(row);
        window.List1_DblClick();
        row = (row + 1) % window.List1.count();
    }
}

BENCHMARK(BM_SearchEverything)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchTitleCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchSinger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadHit)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    song_window_holder().reset();
    return 0;
}
