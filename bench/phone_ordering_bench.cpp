// What phone ordering costs on a catalogue of 100,000 songs and 10,000
// singers. Every request is answered on the user-interface thread, so its
// time is time the keypad and the player wait:
// - reading the songs into memory for the search, which the jukebox does once
//   the main menu is up and again after the catalogue file has changed;
// - a search by part of a title (two characters of a stored title, from 200
//   different songs: common and rare parts alike), timed as the API answers
//   it (query, JSON), with the 95th percentile and the worst call;
// - the same search while the media engine plays a 1920 x 1080 H.264 clip
//   in this process (decoding on its own threads, no picture shown), for the
//   slowest request seen while a video plays;
// - the queue a phone refreshes every two seconds (20 entries), answered by
//   the API alone and as a whole request over the network to the server in
//   this process (the phone's side included, so an upper bound).
// `fraction_of_core_for_20_phones` is the time per refresh times ten
// refreshes a second.
// - the queue refreshed by 20 phones at once (20 addresses, a connection
//   each), while 300 idle sockets from five addresses and a brute force of
//   the PIN from fifty more run: requests a second and the 95th percentile
//   of a refresh (each phone's answer is collected in turn, so an upper bound).

#include "../tests/remote/attack_client.h"
#include "foundation/app_state.h"
#include "foundation/catalogue_operations.h"
#include "foundation/song_orders.h"
#include "platform/media_player.h"
#include "platform/mpv_media_player.h"
#include "remote/phone_ordering.h"
#include "remote/song_search.h"
#include "support/bench_clips.h"
#include "support/median_timer.h"
#include "support/synthetic_catalogue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

class Jukebox {
public:
    Jukebox() {
        state_.program_folder = catalogue_.app_folder().chopped(1);
        state_.app_folder = catalogue_.app_folder();
        state_.db_path = catalogue_.db_path();
        phones_ = std::make_unique<PhoneOrdering>(state_, "1234", 0, QHostAddress::LocalHost, "127.0.0.1");
        songs_ = stored_songs(state_.db_path);
        for (size_t at = 0; state_.play_queue.size() < 20; at += 4999)
            add_song_to_queue(state_, songs_.at(at).num);
        const PhoneResponse login =
            phones_->api().handle({"POST", "/api/login", {}, R"({"pin":"1234"})", {}, "bench"});
        cookie_ = login.set_cookie.split(';').first();
    }
    PhoneResponse ask(const QByteArray& path, const QByteArray& query = {}) {
        return phones_->api().handle({"GET", path, query, {}, cookie_, "bench"});
    }
    // Two characters from the middle of 200 titles spread over the catalogue.
    std::vector<QByteArray> title_parts() const {
        std::vector<const QString*> titles;  // of two characters or more
        for (const StoredSong& song : songs_)
            if (song.title.size() >= 2) titles.push_back(&song.title);
        std::vector<QByteArray> parts;
        for (size_t at = 6; parts.size() < 200; at += titles.size() / 200) {
            const QString& title = *titles.at(at);
            parts.push_back("q=" + QUrl::toPercentEncoding(title.mid(title.size() / 2 - 1, 2)));
        }
        return parts;
    }
    quint16 port() const { return phones_->port(); }
    const QString& db_path() const { return state_.db_path; }
    void prepare_search() { phones_->api().prepare_search(); }
    const QByteArray& cookie() const { return cookie_; }

private:
    struct StoredSong {
        QString num;
        QString title;
    };
    // Every song row in number order, read once: the benchmark picks songs
    // spread over the catalogue.
    static std::vector<StoredSong> stored_songs(const QString& db_path) {
        std::vector<StoredSong> songs;
        for (Recordset rows = every_row(shared_session(db_path), CatalogueTable::Song); !rows.Eof();
             rows.MoveNext())
            songs.push_back({rows.Field("song_num"), rows.Field("song_name")});
        return songs;
    }

    SyntheticCatalogueFolder catalogue_;
    AppState state_;
    std::unique_ptr<PhoneOrdering> phones_;
    std::vector<StoredSong> songs_;
    QByteArray cookie_;
};

std::unique_ptr<Jukebox>& jukebox_holder() {
    static std::unique_ptr<Jukebox> jukebox;
    return jukebox;
}

Jukebox& jukebox() {
    auto& holder = jukebox_holder();
    if (!holder) holder = std::make_unique<Jukebox>();
    return *holder;
}

void BM_ReadSongsForSearch(benchmark::State& state) {
    Jukebox& box = jukebox();
    run_timing_percentiles(state, [&] {
        SongSearch search;
        search.read_catalogue_if_changed(box.db_path());
    });
}
BENCHMARK(BM_ReadSongsForSearch)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_TitlePartSearch(benchmark::State& state) {
    Jukebox& box = jukebox();
    box.prepare_search();
    const std::vector<QByteArray> parts = box.title_parts();
    size_t next = 0;
    run_timing_percentiles(state, [&] {
        const PhoneResponse found = box.ask("/api/songs", parts[next++ % parts.size()]);
        if (found.status != 200) state.SkipWithError("search failed");
    });
}
BENCHMARK(BM_TitlePartSearch)->Iterations(400)->Unit(benchmark::kMillisecond);

void BM_TitlePartSearchWhileAVideoPlays(benchmark::State& state) {
    Jukebox& box = jukebox();
    box.prepare_search();
    const std::vector<QByteArray> parts = box.title_parts();
    QWidget video_area;
    const std::unique_ptr<MediaPlayer> media =
        mpv_media_player_factory({.null_video = true, .null_audio = true})(&video_area);
    media->set_url("file://" + bench_clips().hd_h264);
    media->play();
    QElapsedTimer started;
    started.start();
    while (media->play_state() != play_state::playing && started.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (media->play_state() != play_state::playing) state.SkipWithError("the clip did not start");
    size_t next = 0;
    run_timing_percentiles(
        state, [&] { benchmark::DoNotOptimize(box.ask("/api/songs", parts[next++ % parts.size()])); });
    media->stop();
}
BENCHMARK(BM_TitlePartSearchWhileAVideoPlays)->Iterations(400)->Unit(benchmark::kMillisecond);

void BM_QueueRefreshInTheApi(benchmark::State& state) {
    Jukebox& box = jukebox();
    run_timing_percentiles(state, [&] { benchmark::DoNotOptimize(box.ask("/api/queue")); });
    state.counters["fraction_of_core_for_20_phones"] = state.counters["median_us"] * 10 / 1e6;
}
BENCHMARK(BM_QueueRefreshInTheApi)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_QueueRefreshOverTheNetwork(benchmark::State& state) {
    Jukebox& box = jukebox();
    QNetworkAccessManager phone;
    QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1/api/queue").arg(box.port())));
    request.setRawHeader("Cookie", box.cookie());
    run_timing_percentiles(state, [&] {
        QNetworkReply* reply = phone.get(request);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        benchmark::DoNotOptimize(reply->readAll());
        reply->deleteLater();
    });
    state.counters["fraction_of_core_for_20_phones"] = state.counters["median_us"] * 10 / 1e6;
}
BENCHMARK(BM_QueueRefreshOverTheNetwork)->Iterations(1000)->Unit(benchmark::kMicrosecond);

QByteArray wrong_pin_request() {
    const QByteArray body = R"({"pin":"0000"})";
    return "POST /api/login HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Type: application/json\r\n"
           "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

void BM_QueueRefreshFrom20PhonesUnderAttack(benchmark::State& state) {
    Jukebox& box = jukebox();
    std::vector<std::unique_ptr<AttackClient>> idle;
    for (int i = 0; i < 300; ++i) idle.push_back(std::make_unique<AttackClient>(2 + i % 5, box.port()));
    const QByteArray refresh =
        "GET /api/queue HTTP/1.1\r\nHost: x\r\nConnection: close\r\nCookie: " + box.cookie() + "\r\n\r\n";
    std::vector<double> refresh_ms;
    int guesses = 0;
    QElapsedTimer total;
    total.start();
    for (auto _ : state) {
        QElapsedTimer round;
        round.start();
        std::vector<std::unique_ptr<AttackClient>> phones;
        for (int phone = 0; phone < 20; ++phone) {
            phones.push_back(std::make_unique<AttackClient>(100 + phone, box.port()));
            phones.back()->send_all(refresh);
        }
        AttackClient guess(10 + guesses++ % 50, box.port());
        guess.send_all(wrong_pin_request());
        for (auto& phone : phones) {
            if (phone->status() != 200) state.SkipWithError("a phone was not answered");
            refresh_ms.push_back(static_cast<double>(round.nsecsElapsed()) / 1e6);
        }
        guess.status();
    }
    std::sort(refresh_ms.begin(), refresh_ms.end());
    state.counters["requests_per_second"] =
        static_cast<double>(refresh_ms.size() + guesses) / (static_cast<double>(total.nsecsElapsed()) / 1e9);
    state.counters["refresh_p95_ms"] = refresh_ms[refresh_ms.size() * 95 / 100];
    state.counters["refresh_median_ms"] = refresh_ms[refresh_ms.size() / 2];
}
BENCHMARK(BM_QueueRefreshFrom20PhonesUnderAttack)->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepare_media_engine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    jukebox_holder().reset();
    return 0;
}
