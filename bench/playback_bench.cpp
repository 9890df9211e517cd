// Playback as a guest sees it: how soon a song's first frame is out after it
// is played, how long the background shows between two songs, and what the
// singing window costs in memory and CPU while a 1080p song plays. Each
// figure of the jukebox's engine stands beside the mpv program's own on the
// same clips with the same outputs, measured in the same run.
//
// Without a display only the null-output figures are taken. Under X (for
// example `xvfb-run -s '-screen 0 1920x1080x24'`) the window figures follow;
// there Mesa's software OpenGL renderer does the drawing for both players.
#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/song_orders.h"
#include "platform/desktop.h"
#include "platform/microphone_pitch.h"
#include "platform/mpv_media_player.h"
#include "playback/player.h"
#include "support/bare_mpv.h"
#include "support/bench_clips.h"
#include "support/process_usage.h"
#include "support/synthetic_catalogue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kTimeoutMs = 20000;

// Runs the event loop until `done` holds, looking every millisecond (and
// sleeping in between, so that the benchmark takes no core from the players);
// false after the timeout.
bool process_events_until(const std::function<bool()>& done, int timeout_ms = kTimeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer look;
    look.setInterval(1);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeout_ms) loop.quit();
    });
    look.start();
    if (!done()) loop.exec();
    return done();
}

void process_events_for(int ms) {
    QElapsedTimer clock;
    clock.start();
    process_events_until([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

// A steady clock's reading, taken where a signal arrives.
double now_ms() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What a stopped file leaves to do settles before the next one is timed.
constexpr int kSettleMs = 200;

QString file_url(const QString& path) {
    return "file://" + path;
}

// Milliseconds of every iteration, reported as the iteration's time and as
// the median and the worst.
class IterationTimes {
public:
    void add(benchmark::State& bench, double ms) {
        times_ms_.push_back(ms);
        bench.SetIterationTime(ms / 1000);
    }
    void report(benchmark::State& bench) {
        if (times_ms_.empty()) return;
        std::sort(times_ms_.begin(), times_ms_.end());
        bench.counters["median_ms"] = times_ms_[times_ms_.size() / 2];
        bench.counters["worst_ms"] = times_ms_.back();
    }

private:
    std::vector<double> times_ms_;
};

enum class Output { null, window };

QStringList bare_mpv_outputs(Output output) {
    // The window stays between files, as the jukebox's video area does; mpv
    // refuses a software renderer (Mesa's, under Xvfb) unless told to use it.
    if (output == Output::window)
        return {"--vo=gpu", "--gpu-sw=yes", "--ao=null", "--fs", "--force-window=yes"};
    return {"--vo=null", "--ao=null"};
}

// A full-screen window holding the engine's video area, as the singing
// window does.
struct EngineInWindow {
    explicit EngineInWindow(Output output)
        : engine(&window, MpvPlayerOptions{.null_video = output == Output::null, .null_audio = true}) {
        show_full_screen(window);
        engine.set_geometry(window.rect());
        engine.set_visible(true);
        // The video output exists once the area has been shown.
        process_events_for(500);
        QObject::connect(&engine, &MediaPlayer::playback_started, &engine, [this] {
            last_start_ms = now_ms();
            ++starts;
        });
    }

    QWidget window;
    MpvMediaPlayer engine;
    int starts = 0;
    double last_start_ms = 0;
};

void BM_FirstFrame_Jukebox(benchmark::State& bench, const QString& clip, Output output) {
    EngineInWindow player(output);
    IterationTimes times;
    for (auto _ : bench) {
        const int starts_before = player.starts;
        const double played_ms = now_ms();
        player.engine.set_url(file_url(clip));  // starts playing
        if (!process_events_until([&] { return player.starts > starts_before; })) {
            bench.SkipWithError("the clip did not start");
            break;
        }
        times.add(bench, player.last_start_ms - played_ms);
        player.engine.close();
        process_events_for(kSettleMs);
    }
    times.report(bench);
}

void BM_FirstFrame_BareMpv(benchmark::State& bench, const QString& clip, Output output) {
    BareMpv mpv(bare_mpv_outputs(output));
    IterationTimes times;
    for (auto _ : bench) {
        const double ms = mpv.play_to_first_frame_ms(clip);
        if (ms < 0) {
            bench.SkipWithError("the clip did not start");
            break;
        }
        times.add(bench, ms);
        mpv.stop();
        QThread::msleep(kSettleMs);
    }
    times.report(bench);
}

// A program folder whose catalogue holds `songs` songs, all at `location`,
// and a state running on the real clock; with `scoring` each song is scored,
// the microphone being ALSA's "null" input (silence, paced by the clock).
class SingingEvening {
public:
    SingingEvening(int songs, const QString& location, Output output, bool scoring = false)
        : catalogue_({.songs = songs, .singers = 2}) {
        if (scoring) {
            state_.settings.Score = 1;
            state_.platform.make_microphone_pitch = [] {
                return std::make_unique<AlsaMicrophonePitch>("null");
            };
        }
        state_.program_folder = catalogue_.app_folder().chopped(1);
        state_.app_folder = catalogue_.app_folder();
        state_.db_path = catalogue_.db_path();
        state_.screen_size = QGuiApplication::primaryScreen()->size();
        execute_sql("UPDATE song SET song_location = '" + location + "'", state_.db_path);
        Recordset numbers = open_recordset("SELECT song_num FROM song ORDER BY song_num", state_.db_path);
        for (; !numbers.Eof(); numbers.MoveNext()) add_song_to_queue(state_, numbers.Field("song_num"));
        const MediaPlayerFactory engine =
            mpv_media_player_factory({.null_video = output == Output::null, .null_audio = true});
        state_.platform.make_media_player = [this, engine](QWidget* parent) {
            std::unique_ptr<MediaPlayer> media = engine(parent);
            watch(*media);
            return media;
        };
    }

    // Shows the singing window; it plays the queue from its head.
    player& open() {
        window_ = std::make_unique<player>(state_, nullptr);
        window_->show();
        return *window_;
    }
    void close() { window_->done(0); }

    int starts() const { return starts_; }
    qint64 last_start_ms() const { return last_start_ms_; }
    qint64 last_end_ms() const { return last_end_ms_; }

private:
    // Connected before the window's own handlers, which pause for three
    // seconds inside the end of a song.
    void watch(MediaPlayer& media) {
        QObject::connect(&media, &MediaPlayer::end_of_stream, &media,
                         [this] { last_end_ms_ = state_.clock.elapsed_design_ms(); });
        QObject::connect(&media, &MediaPlayer::playback_started, &media, [this] {
            last_start_ms_ = state_.clock.elapsed_design_ms();
            ++starts_;
        });
    }

    SyntheticCatalogueFolder catalogue_;
    AppState state_;
    std::unique_ptr<player> window_;
    int starts_ = 0;
    qint64 last_start_ms_ = 0;
    qint64 last_end_ms_ = 0;
};

// From the end of one song to the first frame of the next, the background
// picture showing in between.
void BM_GapBetweenSongs(benchmark::State& bench, Output output) {
    constexpr int kGaps = 5;
    SingingEvening evening(kGaps + 1, bench_clips().short_song, output);
    player& window = evening.open();
    IterationTimes times;
    if (!process_events_until([&] { return evening.starts() == 1; })) bench.SkipWithError("no song started");
    for (auto _ : bench) {
        const int starts_before = evening.starts();
        if (!process_events_until([&] { return evening.starts() > starts_before; })) {
            bench.SkipWithError("the next song did not start");
            break;
        }
        times.add(bench, static_cast<double>(evening.last_start_ms() - evening.last_end_ms()));
    }
    times.report(bench);
    window.done(0);
}

constexpr double kWatchedSeconds = 8;
constexpr double kClipFramesPerSecond = 25;

// Watches a playing process and reports its CPU share and peak memory. A
// player that cannot keep up drops frames and so saves work: the CPU time per
// frame it did show is the figure that compares.
void report_usage(benchmark::State& bench, qint64 pid, const std::function<void(int ms)>& between_samples,
                  const std::function<double()>& dropped_frames) {
    const double dropped_before = dropped_frames();
    const PlaybackUsage usage = watch_process(pid, kWatchedSeconds, between_samples);
    const double dropped = dropped_frames() - dropped_before;
    const double shown = kWatchedSeconds * kClipFramesPerSecond - dropped;
    bench.counters["cpu_share"] = usage.cpu_share;
    bench.counters["resident_mib"] = usage.peak_resident_mib;
    bench.counters["dropped_frames"] = dropped;
    bench.counters["cpu_ms_per_shown_frame"] =
        shown > 0 ? usage.cpu_share * kWatchedSeconds * 1000 / shown : 0;
}

// The singing window playing a 1080p song full screen. With scoring, the
// watching starts with the song, while its reference melody is being found.
void BM_PlayingInWindow_Jukebox(benchmark::State& bench, bool scoring) {
    for (auto _ : bench) {
        SingingEvening evening(1, bench_clips().hd_h264, Output::window, scoring);
        const player& window = evening.open();
        // The window shows its background picture for three seconds first.
        process_events_for(1000);
        bench.counters["resident_before_song_mib"] = resident_mib(QCoreApplication::applicationPid());
        if (!process_events_until([&] { return evening.starts() == 1; })) {
            bench.SkipWithError("the song did not start");
            break;
        }
        if (!scoring) process_events_for(1000);
        const auto& engine = dynamic_cast<const MpvMediaPlayer&>(*window.wmp1);
        report_usage(bench, QCoreApplication::applicationPid(), &process_events_for,
                     [&] { return static_cast<double>(engine.dropped_frames()); });
        evening.close();
    }
}

void BM_PlayingInWindow_BareMpv(benchmark::State& bench) {
    for (auto _ : bench) {
        BareMpv mpv(bare_mpv_outputs(Output::window));
        if (mpv.play_to_first_frame_ms(bench_clips().hd_h264) < 0) {
            bench.SkipWithError("the song did not start");
            break;
        }
        QThread::msleep(1000);
        report_usage(
            bench, mpv.pid(), [](int ms) { QThread::msleep(ms); },
            [&] { return mpv.property("frame-drop-count").toDouble(); });
    }
}

void register_benchmarks(bool has_display) {
    const auto time_in_ms = [](benchmark::internal::Benchmark* bench) {
        bench->UseManualTime()->Unit(benchmark::kMillisecond);
    };
    // First, while the process holds nothing of the other benchmarks.
    if (has_display) {
        benchmark::RegisterBenchmark("PlayingInWindow/hd_h264/jukebox", BM_PlayingInWindow_Jukebox, false)
            ->Iterations(1);
        benchmark::RegisterBenchmark("PlayingInWindow/hd_h264/jukebox_scoring", BM_PlayingInWindow_Jukebox,
                                     true)
            ->Iterations(1);
        benchmark::RegisterBenchmark("PlayingInWindow/hd_h264/bare_mpv", BM_PlayingInWindow_BareMpv)
            ->Iterations(1);
    }
    std::vector<Output> outputs{Output::null};
    if (has_display) outputs.push_back(Output::window);
    const BenchClips& clips = bench_clips();
    for (const Output output : outputs) {
        const std::string out = output == Output::null ? "vo_null" : "window";
        for (const auto& [name, clip] :
             {std::pair{"hd_h264", clips.hd_h264}, std::pair{"vcd_dat", clips.vcd_dat}}) {
            const std::string label = std::string(name) + "/" + out;
            time_in_ms(benchmark::RegisterBenchmark(("FirstFrame/" + label + "/jukebox").c_str(),
                                                    BM_FirstFrame_Jukebox, clip, output)
                           ->Iterations(20));
            time_in_ms(benchmark::RegisterBenchmark(("FirstFrame/" + label + "/bare_mpv").c_str(),
                                                    BM_FirstFrame_BareMpv, clip, output)
                           ->Iterations(20));
        }
    }
    time_in_ms(benchmark::RegisterBenchmark("GapBetweenSongs", BM_GapBetweenSongs,
                                            has_display ? Output::window : Output::null)
                   ->Iterations(5));
}

}  // namespace

int main(int argc, char** argv) {
    const bool has_display = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", has_display ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    prepare_media_engine();
    benchmark::Initialize(&argc, argv);
    register_benchmarks(QGuiApplication::platformName() == "xcb");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
