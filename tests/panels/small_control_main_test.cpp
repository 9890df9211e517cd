#include "mixer/mixer_menu.h"
#include "panels/panel_fixture.h"
#include "panels/small_ordersong.h"
#include "playback/hotkeys.h"
#include "support/fake_wave_capture.h"

#include <QCursor>
#include <QFile>
#include <QTest>

namespace {

TEST_F(PanelTest, ThePanelIsHalfTheScreenWideAtTheConfiguredCornerWithEveryCaption) {
    queue_songs(1);
    open_player();
    QRect geometry;
    QStringList captions;
    QPoint pointer;
    QRect exit_key;
    with_panel([&](small_control_main& panel) {
        geometry = panel.geometry();
        for (QPushButton* key :
             {&panel.key_order, &panel.key_browe, &panel.key_done, &panel.key_mixer, &panel.key_next,
              &panel.key_pause, &panel.key_replay, &panel.key_gomain, &panel.key_exit})
            captions << key->text();
        pointer = QCursor::pos();
        exit_key = QRect(panel.mapToGlobal(panel.key_exit.pos()), panel.key_exit.size());
        EXPECT_TRUE(screen->fOpenSmallControl);
    });
    EXPECT_EQ(geometry.topLeft(), QPoint(700 / 15, 200 / 15));
    EXPECT_NEAR(geometry.width(), 512, 1);
    EXPECT_EQ(captions,
              (QStringList{"1點歌", "2已點", "3歌手", "4音效", "5卡歌", "6暫停", "7重唱", "8關閉", "0沒事"}));
    EXPECT_TRUE(exit_key.contains(pointer));
    EXPECT_FALSE(screen->fOpenSmallControl);
    EXPECT_EQ(media().play_state(), play_state::playing);  // "0沒事": playback goes on
}

TEST_F(PanelTest, PausedMediaShowsPlayAndSixTogglesPauseAndResume) {
    queue_songs(1);
    open_player();
    media().pause();
    QStringList captions;
    std::vector<int> states;
    with_panel([&](small_control_main& panel) {
        captions << panel.key_pause.text();
        for (int i = 0; i < 2; ++i) {
            panel.key_press('6');
            captions << panel.key_pause.text();
            states.push_back(media().play_state());
        }
    });
    EXPECT_EQ(captions, (QStringList{"6播放", "6暫停", "6播放"}));
    EXPECT_EQ(states, (std::vector<int>{play_state::playing, play_state::paused}));
}

TEST_F(PanelTest, KeysWithoutAButtonDoNothingWhileStarAndSlashActThroughTheHotkeys) {
    queue_songs(2);
    open_player();
    bool still_up = false;
    qint64 cut_took = 0;
    with_panel([&](small_control_main& panel) {
        press(panel, "9.+-E");
        still_up = panel.isVisible() && state->play_queue.size() == 2 && media().played_urls.size() == 1;
        panel.key_press('*');
        const qint64 before = state->clock.elapsed_design_ms();
        panel.key_press('/');
        cut_took = state->clock.elapsed_design_ms() - before;
    });
    EXPECT_TRUE(still_up);
    EXPECT_EQ(screen->labMsg.text(), "聲道 : 右");
    EXPECT_GE(cut_took, 3000);
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(2)}));
    EXPECT_EQ(state->play_queue.number_at(0), song_num(2));
}

TEST_F(PanelTest, CutPlaysTheNextSongAfterThePauseAndDoesNothingBetweenSongs) {
    queue_songs(2);
    open_player();
    with_panel([&](small_control_main& panel) { panel.key_press('5'); });
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(2)}));
    EXPECT_EQ(state->play_queue.size(), 1);

    media().finish_song();  // the queue is empty: the background stays
    with_panel([&](small_control_main& panel) { panel.key_press('5'); });
    EXPECT_EQ(media().played_urls.size(), 2);
    EXPECT_TRUE(state->play_queue.empty());
}

TEST_F(PanelTest, SingAgainRestartsTheHeadFromItsStartAfterTwoSecondsOfBackground) {
    queue_songs(2);
    open_player();
    media().set_position(75);
    bool background_meanwhile = false;
    qint64 took = 0;
    with_panel([&](small_control_main& panel) {
        QTimer::singleShot(state->clock.real_ms(1000), screen.get(),
                           [&] { background_meanwhile = screen->Image1.isVisible(); });
        const qint64 before = state->clock.elapsed_design_ms();
        panel.key_press('7');
        took = state->clock.elapsed_design_ms() - before;
    });
    EXPECT_TRUE(background_meanwhile);
    EXPECT_GE(took, 2000);
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(1)}));
    EXPECT_TRUE(media().calls.contains("close"));
    EXPECT_EQ(state->play_queue.size(), 2);
    EXPECT_FALSE(screen->Image1.isVisible());
    EXPECT_TRUE(screen->session().watching());
}

TEST_F(PanelTest, EightClosesThePlayerAndKeepsTheSongAtTheHead) {
    queue_songs(2);
    open_player();
    with_panel([&](small_control_main& panel) { panel.key_press('8'); });
    EXPECT_TRUE(screen->unloaded());
    EXPECT_FALSE(screen->isVisible());
    EXPECT_TRUE(screen->session().closed());
    EXPECT_FALSE(screen->fOpenSmallControl);
    EXPECT_EQ(media().play_state(), play_state::undefined);
    EXPECT_EQ(state->play_queue.number_at(0), song_num(1));
    EXPECT_EQ(state->play_queue.size(), 2);
}

TEST_F(PanelTest, ASecondOpenRequestWhileThePanelIsUpOpensNoOther) {
    queue_songs(1);
    open_player();
    int panels_up = 0;
    bool first_up = false;
    with_panel([&](small_control_main& panel) {
        screen->wmp1_ClickEvent();
        screen->wmp1_KeyPressEvent('q');
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<small_control_main*>(window) && window->isVisible()) ++panels_up;
        first_up = panel.isVisible() && screen->fOpenSmallControl;
    });
    EXPECT_EQ(panels_up, 1);
    EXPECT_TRUE(first_up);
    EXPECT_FALSE(screen->fOpenSmallControl);
}

TEST_F(PanelTest, HotkeysReachCutPauseAndSingAgainWhileThePanelIsNotShown) {
    queue_songs(2);
    open_player();
    EXPECT_FALSE(panel_opened_during([&] {
        screen->wmp1_KeyPressEvent(Settings::HotKeyPause);
        EXPECT_EQ(media().play_state(), play_state::paused);
        screen->wmp1_KeyPressEvent(Settings::HotKeyPause);
        EXPECT_EQ(media().play_state(), play_state::playing);
        screen->wmp1_KeyPressEvent(Settings::HotKeyReplay);
        EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(1)}));
        screen->wmp1_KeyPressEvent('/');
        EXPECT_EQ(media().played_urls.last(), url_of(2));
    }));
}

// A take cut short by the guest leaves neither the take nor its temporary file.
TEST_F(PanelTest, CutPauseAndSingAgainDuringARecordingLeaveNoFile) {
    FakeWaveCapture capture;
    state->platform.capture = &capture;
    queue_songs(3);
    open_player();
    PlaybackSession& session = screen->session();
    small_control_main panel(*state, session, screen.get());  // its keys, called without showing it
    const std::vector<std::pair<QString, void (small_control_main::*)()>> keys{
        {"cut", &small_control_main::key_next_Click},
        {"again", &small_control_main::key_replay_Click},
        {"pause", &small_control_main::key_pause_Click}};
    for (const auto& [name, action] : keys) {
        SCOPED_TRACE(name.toStdString());
        session.record();
        ASSERT_TRUE(session.is_recording());
        (panel.*action)();
        EXPECT_FALSE(session.is_recording());
        EXPECT_FALSE(QFile::exists(session.record_file()));
        EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
    }
    EXPECT_EQ(media().play_state(), play_state::paused);
}

TEST_F(PanelTest, ASmallWindowHidesThePanelAndLeavingItBringsThePanelBack) {
    queue_songs(1);
    open_player();
    bool hidden_meanwhile = false;
    bool back = false;
    with_panel([&](small_control_main& panel) {
        when_up<small_ordersong>([&](small_ordersong& window) {
            hidden_meanwhile = !panel.isVisible() && !panel.Timer3.isActive();
            for (int code : {int('0'), 13}) window.Picture1_KeyPress(code);
        });
        panel.key_press('1');
        when_up<small_control_main>([&](small_control_main& again) {
            back = &again == &panel && screen->fOpenSmallControl && panel.Timer3.isActive();
        });
    });
    EXPECT_TRUE(hidden_meanwhile);
    EXPECT_TRUE(back);
    EXPECT_FALSE(screen->fOpenSmallControl);
}

TEST_F(PanelTest, FourOpensTheSoundPanelAndLeavingItBringsThePanelBack) {
    queue_songs(1);
    open_player();
    bool mixer_shown = false;
    bool back = false;
    with_panel([&](small_control_main& panel) {
        when_up<mixer_menu>([&](mixer_menu& mixer) {
            mixer_shown = mixer.isVisible() && !panel.isVisible();
            mixer.Command1_Click();
        });
        panel.key_press('4');
        when_up<small_control_main>([&](small_control_main& again) { back = &again == &panel; });
    });
    EXPECT_TRUE(mixer_shown);
    EXPECT_TRUE(back);
}

// Keys typed in a small window stay there, and the focus stays on its text
// area while the player's timers run.
TEST_F(PanelTest, ASmallWindowKeepsItsKeysAndItsFocus) {
    queue_songs(1);
    open_player();
    bool focus_kept = false;
    with_panel([&](small_control_main& panel) {
        when_up<small_ordersong>([&](small_ordersong& window) {
            for (int code : {int(Settings::HotKeyPause), int(Settings::HotKeyReplay), int('q'), 27})
                window.Picture1_KeyPress(code);
            QTest::qWait(state->clock.real_ms(500));
            focus_kept = window.isActiveWindow() && window.hasFocus();
            for (int code : {int('0'), 13}) window.Picture1_KeyPress(code);
        });
        panel.key_press('1');
    });
    EXPECT_TRUE(focus_kept);
    EXPECT_EQ(media().play_state(), play_state::playing);
    EXPECT_EQ(media().played_urls.size(), 1);
}

}  // namespace
