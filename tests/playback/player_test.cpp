#include "foundation/settings.h"
#include "ordering/main_menu.h"
#include "playback/hotkeys.h"
#include "playback/player_fixture.h"
#include "support/fake_media_player.h"
#include "support/fake_wave_capture.h"
#include "widgets/start_form.h"

#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Only an upper bound; the test clock makes every pause a few milliseconds.
constexpr int kTimeoutMs = 5000;

class PlayerTest : public ::testing::Test, public PlayerFixture {
protected:
    PlayerTest() {
        state->platform.make_media_player = players.factory();
        for (int i = 1; i <= 4; ++i) add_song(i, "/songs/歌 " + QString::number(i) + ".mpg");
    }

    FakeMediaPlayer& media() { return *players.last(); }
    static QString url_of(int i) { return "file:///songs/歌 " + QString::number(i) + ".mpg"; }
    bool background_shown() const {
        return screen->Image1.isVisible() && screen->Image1.size() == state->screen_size &&
               screen->wmp1->geometry().size() == QSize(1, 1);
    }
    bool video_shown() const {
        return !screen->Image1.isVisible() &&
               screen->wmp1->geometry() == QRect(QPoint(0, 0), state->screen_size);
    }
    void key(int code) { screen->wmp1_KeyPressEvent(code); }
    QString message() const { return screen->labMsg.isVisible() ? screen->labMsg.text() : QString(); }

    FakeMediaPlayers players;
};

TEST_F(PlayerTest, AnEmptyQueueShowsTheBackgroundUntilASongIsOrdered) {
    open_player();
    EXPECT_EQ(screen->geometry(), QRect(QPoint(0, 0), state->screen_size));
    EXPECT_TRUE(background_shown());
    EXPECT_EQ(media().play_state(), play_state::undefined);
    EXPECT_FALSE(media().auto_start());

    queue_song(1);
    screen->Player_OneSong();
    EXPECT_EQ(media().played_urls, QStringList{url_of(1)});
    EXPECT_TRUE(video_shown());
}

TEST_F(PlayerTest, AnOverlayStandsOverTheBackgroundEachTimeItShows) {
    int paints = 0;
    open_player().set_background_overlay([&paints](QPainter& painter, const QRect& screen) {
        ++paints;
        painter.fillRect(QRect(screen.bottomRight() - QPoint(9, 9), QSize(10, 10)), Qt::green);
    });
    const QPoint corner(state->screen_size.width() - 1, state->screen_size.height() - 1);
    EXPECT_EQ(screen->Image1.pixmap().toImage().pixelColor(corner), QColor(Qt::green));
    EXPECT_EQ(screen->Image1.pixmap().toImage().pixelColor(0, 0),
              background_picture().toImage().pixelColor(0, 0));

    // Behind the video it is not painted; showing the background paints it.
    screen->Load_Background(0);
    const int before = paints;
    screen->repaint_background();
    EXPECT_EQ(paints, before);
    screen->Load_Background(1);
    EXPECT_EQ(paints, before + 1);
}

TEST_F(PlayerTest, Timer1StartsASongOrderedWhileIdle) {
    open_player();
    queue_song(2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(media().played_urls.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !media().played_urls.isEmpty(); }, kTimeoutMs));
    EXPECT_EQ(media().played_urls, QStringList{url_of(2)});
}

TEST_F(PlayerTest, SongsPlayInTurnWithThreeSecondsOfBackgroundBetween) {
    queue_song(1);
    queue_song(2);
    const qint64 opened = state->clock.elapsed_design_ms();
    open_player();
    EXPECT_GE(state->clock.elapsed_design_ms() - opened, 3000);  // the first activation waits too
    EXPECT_EQ(media().played_urls, QStringList{url_of(1)});
    EXPECT_TRUE(video_shown());

    bool background_during_pause = false;
    int queue_during_pause = -1;
    QTimer::singleShot(state->clock.real_ms(1000), screen.get(), [&] {
        background_during_pause = background_shown();
        queue_during_pause = state->play_queue.size();
    });
    const qint64 ended = state->clock.elapsed_design_ms();
    media().finish_song();
    EXPECT_GE(state->clock.elapsed_design_ms() - ended, 3000);
    EXPECT_TRUE(background_during_pause);
    EXPECT_EQ(queue_during_pause, 1);
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(2)}));
    EXPECT_TRUE(video_shown());

    media().finish_song();
    EXPECT_TRUE(state->play_queue.empty());
    EXPECT_EQ(media().play_state(), play_state::undefined);
    EXPECT_TRUE(background_shown());
    EXPECT_EQ(media().played_urls.size(), 2);
}

TEST_F(PlayerTest, OneFinishedSongAdvancesTheQueueOnceWhoeverSeesItFirst) {
    for (int i = 1; i <= 4; ++i) queue_song(i);
    open_player();
    QSignalSpy removed(&screen->session(), &PlaybackSession::head_removed);

    // Timer2 sees the stop first; the end-of-stream event comes during the pause.
    QTimer::singleShot(state->clock.real_ms(1000), screen.get(), [&] { emit media().end_of_stream(); });
    media().set_state(play_state::stopped);
    ASSERT_TRUE(QTest::qWaitFor([&] { return media().played_urls.size() == 2; }, kTimeoutMs));
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(state->play_queue.number_at(0), song_num(2));

    // The engine reports the end and the error of one song; a late event of
    // the song before changes nothing once the next one plays.
    media().set_state(play_state::ready);
    emit media().end_of_stream();
    emit media().error_occurred();
    EXPECT_EQ(removed.count(), 2);
    emit media().end_of_stream();
    QTest::qWait(state->clock.real_ms(500));
    EXPECT_EQ(removed.count(), 2);
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(2), url_of(3)}));
}

TEST_F(PlayerTest, ABrokenSongIsSkippedWithoutAMessage) {
    queue_song(1);
    queue_song(2);
    open_player();
    media().fail_song();
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(2)}));
    EXPECT_EQ(message(), "");
    EXPECT_EQ(state->play_queue.size(), 1);
}

TEST_F(PlayerTest, ASkippedSongIsLoggedWithItsPathAndTheEnginesError) {
    queue_song(1);
    queue_song(2);
    queue_song(3);
    open_player();
    const LogLines log;
    media().fail_song("unrecognized file format");
    media().finish_song();  // an ordinary end is no failure
    EXPECT_EQ(log.of("karaoke.playback"),
              QStringList{"skipped song " + song_num(1) + " /songs/歌 1.mpg : unrecognized file format"});
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(2), url_of(3)}));
}

TEST_F(PlayerTest, WithoutTheCatalogueTheSongCannotBeFoundAndTheGuestSeesWhy) {
    open_player();
    QFile::remove(state->db_path);
    queue_song(1);
    screen->Player_OneSong();
    EXPECT_EQ(media().played_urls, QStringList{"file://"});
    EXPECT_FALSE(message().isEmpty());
}

TEST_F(PlayerTest, UpperCaseLettersAreHotkeysAndOtherKeysOpenThePanel) {
    queue_song(1);
    open_player();
    EXPECT_FALSE(panel_opened_during([&] { key(Settings::HotKeySoundChannel3); }));
    EXPECT_EQ(screen->session().sound_channel(), 3);
    EXPECT_EQ(message(), "聲道 3");
    EXPECT_FALSE(panel_opened_during([&] { key(81); }));  // Q
    EXPECT_EQ(screen->session().sound_channel(), 2);      // the panel's first button: 左
    EXPECT_EQ(message(), "聲道 1");
    EXPECT_FALSE(panel_opened_during([&] { key(Settings::HotKeySoundChannel2); }));
    EXPECT_EQ(screen->session().sound_channel(), 1);

    for (int code : {113, 112, 53, 27, 0}) {  // q, p, a digit, Escape, a click on the picture
        SCOPED_TRACE(code);
        EXPECT_TRUE(panel_opened_during([&] { key(code); }));
        EXPECT_FALSE(screen->fOpenSmallControl);
    }
    EXPECT_EQ(media().play_state(), play_state::playing);
    EXPECT_TRUE(screen->isVisible());
}

TEST_F(PlayerTest, StarCyclesTheChannelAndTimer2AppliesItToMediaWithThreeStreams) {
    queue_song(1);
    queue_song(2);
    open_player();
    media().set_stream_count(3);
    QStringList messages;
    for (int i = 0; i < 3; ++i) {
        key('*');
        messages << message();
    }
    EXPECT_EQ(messages, (QStringList{"聲道 : 右", "聲道 : 中", "聲道 : 左"}));
    key('*');
    ASSERT_TRUE(QTest::qWaitFor([&] { return media().current_audio_stream() == 3; }, kTimeoutMs));

    media().set_stream_count(2);
    media().finish_song();
    key('*');
    QTest::qWait(state->clock.real_ms(500));
    EXPECT_EQ(screen->session().sound_channel(), 1);
    EXPECT_EQ(media().stream_choices, std::vector<int>{3});
}

TEST_F(PlayerTest, VolumeHotkeysStepByTenWithinZeroToHundred) {
    queue_song(1);
    open_player();
    media().set_volume(100);
    key(Settings::HotKeyVolIncrease);
    EXPECT_EQ(media().volume(), 100);
    EXPECT_EQ(message(), "大聲 : 10");
    media().set_volume(55);
    key(Settings::HotKeyVolIncrease);
    EXPECT_EQ(message(), "大聲 : 6.5");
    media().set_volume(5);
    key(Settings::HotKeyVolDecrease);
    EXPECT_EQ(media().volume(), 0);
    EXPECT_EQ(message(), "小聲 : 0");
    key(Settings::HotKeyVolDecrease);
    EXPECT_EQ(message(), "小聲 : 0");
    EXPECT_EQ(volume_text(60), "6");
}

TEST_F(PlayerTest, PauseReplayAndSkipHotkeysActOnTheSong) {
    for (int i = 1; i <= 3; ++i) queue_song(i);
    open_player();
    key(Settings::HotKeyPause);
    EXPECT_EQ(media().play_state(), play_state::paused);
    EXPECT_EQ(message(), "暫停");
    key(Settings::HotKeyPause);
    EXPECT_EQ(media().play_state(), play_state::playing);

    key(Settings::HotKeyReplay);
    EXPECT_EQ(message(), "重唱");
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(1)}));
    EXPECT_EQ(state->play_queue.size(), 3);

    key('/');
    EXPECT_EQ(media().played_urls.last(), url_of(2));
    EXPECT_EQ(state->play_queue.size(), 2);
    EXPECT_FALSE(panel_opened_during([&] { key(Settings::HotKeyRecord); }));
    EXPECT_EQ(message(), "錄音");
}

TEST_F(PlayerTest, ASecondMessageReplacesTheFirstAndLastsItsOwnThreeSeconds) {
    open_player();
    screen->tmrMSG.stop();  // the test counts the seconds itself
    EXPECT_EQ(message(), "");
    for (int i = 0; i < 5; ++i) screen->tmrMSG_Timer();
    EXPECT_EQ(screen->iCountDownMSG, 0);
    EXPECT_EQ(message(), "");

    show_player_message(*screen, "暫停", 3);
    EXPECT_EQ(screen->labMSGBack.text(), "暫停");
    screen->tmrMSG_Timer();
    screen->tmrMSG_Timer();
    EXPECT_EQ(message(), "暫停");
    show_player_message(*screen, "重唱", 3);
    screen->tmrMSG_Timer();  // the first message's third second
    screen->tmrMSG_Timer();
    EXPECT_EQ(message(), "重唱");
    EXPECT_TRUE(screen->labMSGBack.isVisible());
    screen->tmrMSG_Timer();
    EXPECT_EQ(message(), "");
    EXPECT_FALSE(screen->labMSGBack.isVisible());
}

TEST_F(PlayerTest, MessagesStandInTheTopRightCornerAboveTheVideo) {
    queue_song(1);
    open_player();
    show_player_message(*screen, "聲道 1", 3);
    const QRect label = screen->labMsg.geometry();
    EXPECT_EQ(label.right(), state->screen_size.width() - 1);
    EXPECT_NEAR(label.width(), 0.25 * state->screen_size.width(), 1);
    EXPECT_NEAR(label.top(), 0.01 * state->screen_size.height(), 1);
    EXPECT_EQ(screen->labMSGBack.geometry(),
              label.translated(qRound(0.01 * label.width()), qRound(0.01 * label.width())));
    // Later children paint above earlier ones: the shadow above the video, the text above both.
    const QObjectList& children = screen->children();
    EXPECT_GT(children.indexOf(&screen->labMSGBack), children.indexOf(screen->wmp1->video_surface()));
    EXPECT_GT(children.indexOf(&screen->labMsg), children.indexOf(&screen->labMSGBack));
}

TEST_F(PlayerTest, ArrowKeysActOnlyOnceThePanelWasOpenedAndClosed) {
    queue_song(1);
    open_player();
    const auto press_up = [this] {
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        state->pressed_keys->key_event(up);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
        state->pressed_keys->key_event(release);
    };
    EXPECT_FALSE(panel_opened_during([&] {
        press_up();
        QTest::qWait(30);  // many polls of the 20 ms timer
    }));
    EXPECT_TRUE(panel_opened_during([&] { key('q'); }));
    const int panels_before = panels_seen;
    EXPECT_TRUE(panel_opened_during([&] {
        press_up();
        EXPECT_TRUE(QTest::qWaitFor([&] { return panels_seen > panels_before; }, kTimeoutMs));
    }));
}

TEST_F(PlayerTest, ClosingLeavesTheSongAtTheHeadAndTheNextPlayerStartsItAgain) {
    queue_song(1);
    queue_song(2);
    open_player();
    key('*');
    ASSERT_EQ(screen->session().sound_channel(), 3);
    QTimer::singleShot(0, screen.get(), [] {
        if (auto* panel = qobject_cast<small_control_main*>(QApplication::activeModalWidget()))
            panel->key_press('8');
    });
    key('1');
    EXPECT_TRUE(screen->unloaded());
    EXPECT_FALSE(screen->isVisible());
    EXPECT_TRUE(screen->session().closed());
    EXPECT_EQ(media().play_state(), play_state::undefined);
    EXPECT_EQ(state->play_queue.size(), 2);
    EXPECT_FALSE(screen->session().watching() || screen->tmrMSG.isActive());

    open_player();
    EXPECT_EQ(screen->session().sound_channel(), 2);
    EXPECT_EQ(media().played_urls, QStringList{url_of(1)});
}

TEST_F(PlayerTest, ClosingDuringThePauseBetweenSongsStartsNothing) {
    queue_song(1);
    queue_song(2);
    open_player();
    FakeMediaPlayer& first = media();
    QTimer::singleShot(state->clock.real_ms(1000), screen.get(), [this] { screen->reject(); });
    first.finish_song();
    EXPECT_EQ(first.played_urls, QStringList{url_of(1)});
    EXPECT_EQ(first.play_state(), play_state::undefined);
    EXPECT_EQ(state->play_queue.number_at(0), song_num(2));
    EXPECT_FALSE(screen->session().watching());
}

TEST_F(PlayerTest, ClosingTheSessionClosesThePlayer) {
    open_player();
    screen->session().close();
    EXPECT_TRUE(screen->unloaded());
    EXPECT_FALSE(screen->isVisible());
}

// The panel must not end the evening: its failure is logged and the song goes on.
TEST_F(PlayerTest, AControlPanelThatFailsIsLoggedAndPlaybackGoesOn) {
    queue_song(1);
    int openings = 0;
    open_player([&openings](player&) {
        ++openings;
        throw std::runtime_error("no room for the panel");
    });
    const LogLines log;
    key('q');
    key('q');
    EXPECT_EQ(openings, 2);
    EXPECT_FALSE(screen->fOpenSmallControl);
    EXPECT_EQ(log.of("karaoke.playback"),
              QStringList(2, "small control panel failed: no room for the panel"));
    EXPECT_EQ(media().play_state(), play_state::playing);
    EXPECT_TRUE(screen->isVisible());
}

TEST_F(PlayerTest, ASongThatStopsDuringARecordingLeavesTheTake) {
    FakeWaveCapture capture;
    state->platform.capture = &capture;
    queue_song(1);
    queue_song(2);
    open_player();
    PlaybackSession& session = screen->session();
    session.record();
    ASSERT_TRUE(session.is_recording());
    media().finish_song();
    EXPECT_FALSE(session.is_recording());
    EXPECT_TRUE(QFile::exists(session.record_file()));
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
    EXPECT_FALSE(capture.is_open());

    // Closing the player during a take keeps nothing.
    session.record();
    ASSERT_TRUE(session.is_recording());
    screen->reject();
    EXPECT_FALSE(session.is_recording());
    EXPECT_FALSE(QFile::exists(session.record_file()));
    EXPECT_EQ(capture.commands.last(), kCaptureStop);
}

// The main menu's "6": its timers stop while the player is up and run again
// once the panel's main-menu key has closed it.
TEST_F(PlayerTest, TheMainMenuOpensThePlayerAndGetsItsTimersBack) {
    queue_song(1);
    main_menu menu(*state);
    menu.Form_Activate();
    bool menu_timers_off = false;
    bool song_played = false;
    QTimer::singleShot(0, &menu, [&] {
        auto* screen_up = qobject_cast<player*>(QApplication::activeModalWidget());
        ASSERT_NE(screen_up, nullptr);
        menu_timers_off = !menu.Timer1.isActive() && !menu.Timer2.isActive();
        ASSERT_TRUE(QTest::qWaitFor([&] { return media().play_state() == play_state::playing; }, kTimeoutMs));
        song_played = media().played_urls == QStringList{url_of(1)};
        QTimer::singleShot(0, screen_up, [] {
            if (auto* panel = qobject_cast<small_control_main*>(QApplication::activeModalWidget()))
                panel->key_gomain_Click();
        });
        screen_up->wmp1_KeyPressEvent('q');
    });
    menu.Picture1_KeyPress('6');
    EXPECT_TRUE(menu_timers_off);
    EXPECT_TRUE(song_played);
    EXPECT_TRUE(menu.Timer1.isActive());
    EXPECT_TRUE(menu.Timer2.isActive());
    EXPECT_EQ(menu.Picture1.lines().at(6), "6.開始唱歌");
    EXPECT_EQ(state->play_queue.size(), 1);
}

}  // namespace
