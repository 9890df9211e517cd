#include "playback/voice_recording.h"
#include "ordering/main_menu_fixture.h"
#include "panels/small_control_main.h"
#include "panels/small_ordersong.h"
#include "platform/alsa_wave_capture.h"
#include "platform/mpv_media_player.h"
#include "playback/player.h"
#include "support/media_clips.h"
#include "support/wave_check.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// Only an upper bound: untimed clips end in a fraction of a second and the
// pauses run on the test clock.
constexpr int kTimeoutMs = 30000;

const QString kHerSinger = "江蕙";
const QString kHisSinger = "伍佰";

QString song_num(int i) {
    return QString::number(1000000 + i);
}

// A whole evening on the real windows (offscreen), libmpv without outputs
// playing as fast as it decodes, ALSA's "null" capture and the fast test
// clock. Songs 1..3 are three-stream clips by 江蕙 (1, 2) and 伍佰 (3);
// song 4, by 伍佰, is the two-stream clip.
//
// An untimed clip ends within milliseconds, long before a guest would have
// reached for the next key. So the engines of the singing window are
// watched: when asked, a song is held paused the moment it starts, and the
// test lets it go on when the guest would act. Nothing else about the
// engine is changed.
class EveningTest : public MainMenuTest {
protected:
    // The main menu sends "close capture" as it goes: it must go before the
    // capture it points at.
    ~EveningTest() override { menu.reset(); }

    EveningTest() {
        const MediaPlayerFactory engine =
            mpv_media_player_factory({.null_video = true, .null_audio = true, .untimed = true});
        state->platform.make_media_player = [this, engine](QWidget* parent) {
            std::unique_ptr<MediaPlayer> media = engine(parent);
            if (qobject_cast<player*>(parent)) watch(*media);
            return media;
        };
        state->platform.capture = &capture;
        const int her = add_test_singer(*state, kHerSinger, 0);
        const int him = add_test_singer(*state, kHisSinger, 1);
        for (int i = 1; i <= 4; ++i) {
            // Each song its own file, so that the URL tells which one plays.
            EXPECT_TRUE(QFile::copy(i < 4 ? clips.three_streams : clips.two_streams, song_path(i)));
            add_test_song(*state, song_num(i), 1, "歌" + QString::number(i), i < 3 ? her : him, song_path(i));
        }
    }

    QString song_path(int i) const { return folder.file("song" + QString::number(i) + ".mp4"); }
    QString song_url(int i) const { return file_url(song_path(i)); }

    // Connected before the singing window connects its own handlers, so the
    // times are taken before the window reacts (and pauses between songs).
    void watch(MediaPlayer& media) {
        QObject::connect(&media, &MediaPlayer::end_of_stream, &media, [this] {
            last_end_ms = state->clock.elapsed_design_ms();
            look_during_the_pause();
        });
        auto previous = std::make_shared<int>(play_state::undefined);
        QObject::connect(&media, &MediaPlayer::play_state_changed, &media,
                         [this, &media, previous](int new_state) {
                             const bool resumed = *previous == play_state::paused;
                             *previous = new_state;
                             if (new_state != play_state::playing || resumed) return;
                             last_start_ms = state->clock.elapsed_design_ms();
                             started_urls << media.url();
                             if (!hold_next_start) return;
                             hold_next_start = false;
                             media.pause();
                             ++songs_held;
                         });
    }

    // The next event the program handles is inside its pause before the
    // next song: the background picture must be up and no song playing.
    void look_during_the_pause() {
        QTimer::singleShot(0, menu.get(), [this] {
            player& window = singing_window();
            if (window.Image1.isVisible() && window.wmp1->play_state() != play_state::playing)
                ++pauses_with_background;
        });
    }

    static player& singing_window() {
        auto* window = qobject_cast<player*>(QApplication::activeModalWidget());
        if (!window) throw std::runtime_error("the singing window is not up");
        return *window;
    }
    static MediaPlayer& engine() { return *singing_window().wmp1; }

    // Runs `step` inside the modal loops once `ready` holds. Should it not
    // come, the evening is abandoned: the singing window closes, so that the
    // main menu's "6" returns and the test fails instead of hanging.
    void when(const std::function<bool()>& ready, const std::function<void()>& step) {
        auto* poll = new QTimer(menu.get());
        auto real = std::make_shared<QElapsedTimer>();
        real->start();
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, poll, [=, this] {
            const bool is_ready = ready();
            if (!is_ready && real->elapsed() < kTimeoutMs) return;
            poll->stop();
            poll->deleteLater();
            if (is_ready) {
                step();
            } else {
                ADD_FAILURE() << "the evening did not get to the next step";
                abandon_evening();
            }
        });
        poll->start();
    }
    void when_songs_held(int count, const std::function<void()>& step) {
        when([this, count] { return songs_held == count; }, step);
    }
    void abandon_evening() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                dialog->reject();
    }

    // Runs `inside` once the modal window of type Window is up.
    template <class Window>
    void when_up(const std::function<void(Window&)>& inside) {
        QTimer::singleShot(0, menu.get(), [this, inside] {
            auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
            if (!window) {
                ADD_FAILURE() << "the expected window did not come up";
                abandon_evening();
                return;
            }
            inside(*window);
        });
    }

    // "6.開始唱歌": the songs are driven by the steps scheduled before.
    void start_singing() { press("6"); }

    // Waits until the song held paused has opened, so that its streams and
    // position are known.
    static bool wait_until_loaded() {
        return QTest::qWaitFor([] { return engine().duration_seconds() > 0; }, kTimeoutMs);
    }

    QStringList queue_numbers() const {
        QStringList numbers;
        for (int slot = 0; slot < state->play_queue.size(); ++slot)
            numbers << state->play_queue.number_at(slot);
        return numbers;
    }

    const MediaClips& clips = media_clips();
    AlsaWaveCapture capture{"null"};
    bool hold_next_start = false;
    int songs_held = 0;
    qint64 last_start_ms = 0;
    qint64 last_end_ms = 0;
    int pauses_with_background = 0;
    QStringList started_urls;
};

TEST_F(EveningTest, GuestsOrderSingRecordCutAndComeBackToTheSongTheyLeft) {
    open_menu();

    // Two songs by number, one by singer.
    press("3");
    press(song_num(1) + "E");
    press(song_num(2) + "E");
    EXPECT_EQ(screen().at(0), "1.   歌1--江蕙");
    EXPECT_EQ(screen().at(1), "2.   歌2--江蕙");
    press("0E");
    EXPECT_EQ(screen(), kMainMenuLines);
    press("22");  // male singers
    EXPECT_EQ(screen().first(), "001.伍佰");
    press("1E");
    EXPECT_EQ(screen().first(), "001.歌3");
    EXPECT_EQ(screen().at(1), "002.歌4");
    press("1E");
    EXPECT_EQ(screen().last(), "成功點入:歌3....");
    press("0E0E9");
    EXPECT_EQ(screen(), kMainMenuLines);
    ASSERT_EQ(queue_numbers(), (QStringList{song_num(1), song_num(2), song_num(3)}));
    QString take;  // the recording's file

    // The first song: "*" switches the sound, the panel orders one more, R records.
    hold_next_start = true;
    when_songs_held(1, [&] {
        player& window = singing_window();
        EXPECT_EQ(engine().url(), song_url(1));
        ASSERT_TRUE(wait_until_loaded());
        ASSERT_EQ(engine().audio_stream_count(), 3);
        const int stream_before = engine().current_audio_stream();
        window.wmp1_KeyPressEvent('*');
        EXPECT_EQ(window.labMsg.text(), "聲道 : " + state->sound_channel_names[3]);
        engine().play();
        EXPECT_EQ(engine().play_state(), play_state::playing);
        window.session().watch_now();  // the watch timer applies the channel
        EXPECT_EQ(engine().current_audio_stream(), 3);
        EXPECT_NE(engine().current_audio_stream(), stream_before);
        engine().pause();

        when_up<small_control_main>([&](small_control_main& panel) {
            when_up<small_ordersong>([&](small_ordersong& order) {
                for (QChar key : song_num(4)) order.Picture1_KeyPress(key.unicode());
                order.Picture1_KeyPress(13);
                EXPECT_EQ(order.Label1.text(), "歌4");
                for (int key : {int('0'), 13}) order.Picture1_KeyPress(key);
            });
            panel.key_press('1');  // "1點歌"; returns once the small window has closed
            QTimer::singleShot(0, &panel, [&panel] {
                EXPECT_TRUE(panel.isVisible());
                panel.key_press('0');  // "0沒事"
            });
        });
        window.wmp1_KeyPressEvent('q');
        EXPECT_FALSE(window.fOpenSmallControl);
        EXPECT_EQ(queue_numbers(), (QStringList{song_num(1), song_num(2), song_num(3), song_num(4)}));

        // The take: two seconds of background, then the song from its start.
        engine().play();
        const qint64 before_take = state->clock.elapsed_design_ms();
        const int starts_before = int(started_urls.size());
        window.wmp1_KeyPressEvent('R');
        EXPECT_GE(state->clock.elapsed_design_ms() - before_take, 2000);
        EXPECT_EQ(window.labMsg.text(), "錄音");
        EXPECT_TRUE(window.session().is_recording());
        EXPECT_TRUE(capture.is_recording());
        EXPECT_EQ(started_urls.size(), starts_before + 1);
        EXPECT_EQ(engine().url(), song_url(1));
        take = window.session().record_file();
        EXPECT_TRUE(take.startsWith(state->settings.RecordPath));
        EXPECT_TRUE(take.endsWith("歌1--江蕙.wav"));
        hold_next_start = true;  // the second song, after this one has ended
    });

    // The second song: the take is on disk; "/" cuts the song.
    when_songs_held(2, [&] {
        EXPECT_EQ(pauses_with_background, 1);
        EXPECT_GE(last_start_ms - last_end_ms, 3000);
        EXPECT_FALSE(singing_window().session().is_recording());
        QByteArray frames;
        EXPECT_TRUE(read_recorded_wave(take, frames));
        EXPECT_FALSE(QFile::exists(temporary_wave_path(*state)));
        EXPECT_EQ(queue_numbers(), (QStringList{song_num(2), song_num(3), song_num(4)}));
        EXPECT_EQ(engine().url(), song_url(2));

        engine().play();
        hold_next_start = true;
        const qint64 before_cut = state->clock.elapsed_design_ms();
        look_during_the_pause();
        singing_window().wmp1_KeyPressEvent('/');
        EXPECT_GE(last_start_ms - before_cut, 3000);
        EXPECT_EQ(songs_held, 3);
        EXPECT_EQ(pauses_with_background, 2);
    });

    // The third song, partly sung, is left with "8關閉".
    when_songs_held(3, [&] {
        EXPECT_EQ(queue_numbers(), (QStringList{song_num(3), song_num(4)}));
        EXPECT_EQ(engine().url(), song_url(3));
        ASSERT_TRUE(wait_until_loaded());
        engine().seek(1.5);
        EXPECT_TRUE(QTest::qWaitFor([] { return engine().position_seconds() >= 1.4; }, kTimeoutMs));
        when_up<small_control_main>([](small_control_main& panel) { panel.key_press('8'); });
        singing_window().wmp1_KeyPressEvent('q');
    });

    start_singing();
    EXPECT_EQ(queue_numbers(), (QStringList{song_num(3), song_num(4)}));
    EXPECT_EQ(state->play_queue.display_at(0), "歌3--伍佰");
    EXPECT_EQ(screen(), kMainMenuLines);
    EXPECT_EQ(menu->screen_name(), "0");
    // The take of the first song is the only recording; the cut made none.
    EXPECT_EQ(QDir(state->settings.RecordPath).entryList({"*.wav"}, QDir::Files),
              QStringList{QFileInfo(take).fileName()});

    // Back to singing: the song that was left plays from its start.
    hold_next_start = true;
    when_songs_held(4, [&] {
        EXPECT_EQ(engine().url(), song_url(3));
        ASSERT_TRUE(wait_until_loaded());
        EXPECT_LT(engine().position_seconds(), 0.5);
        EXPECT_EQ(queue_numbers(), (QStringList{song_num(3), song_num(4)}));
        when_up<small_control_main>([](small_control_main& panel) { panel.key_press('8'); });
        singing_window().wmp1_KeyPressEvent('q');
    });
    start_singing();
    EXPECT_EQ(queue_numbers(), (QStringList{song_num(3), song_num(4)}));
    EXPECT_EQ(screen(), kMainMenuLines);
    // Each start of the evening, the take's restart of the first song included.
    EXPECT_EQ(started_urls, (QStringList{song_url(1), song_url(1), song_url(2), song_url(3), song_url(3)}));
}

}  // namespace
