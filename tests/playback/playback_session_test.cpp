#include "playback/session_fixture.h"

#include "playback/voice_recording.h"
#include "support/fake_wave_capture.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 5000;

class PlaybackSessionTest : public ::testing::Test, public SessionFixture {
protected:
    PlaybackSessionTest() {
        state->platform.capture = &capture;
        for (int i = 1; i <= 3; ++i) {
            add_song(i, "/songs/" + QString::number(i) + ".mpg");
            queue_song(i);
        }
    }
    ~PlaybackSessionTest() override { end_session(); }

    static QString url_of(int i) { return "file:///songs/" + QString::number(i) + ".mpg"; }
    void start_playing() {
        session().start_head_if_idle();
        ASSERT_EQ(media().play_state(), play_state::playing);
    }

    FakeWaveCapture capture;
};

TEST_F(PlaybackSessionTest, CutDuringThePauseBetweenSongsChangesNothing) {
    start_playing();
    int queue_after_cut = -1;
    during([&] { media().finish_song(); }, 1000,
           [&] {
               session().cut();
               queue_after_cut = state->play_queue.size();
           });
    EXPECT_EQ(queue_after_cut, 2);
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(2)}));
    EXPECT_EQ(state->play_queue.number_at(0), song_num(2));
    EXPECT_FALSE(background_shown);
}

TEST_F(PlaybackSessionTest, SingAgainDuringATakeThrowsTheTakeAwayAndPlaysTheSongAgain) {
    start_playing();
    QSignalSpy captions(&session(), &PlaybackSession::record_caption_changed);
    session().record();
    ASSERT_TRUE(state->is_recording);
    const QString take = state->record_file;
    session().sing_again();
    EXPECT_FALSE(state->is_recording);
    EXPECT_FALSE(QFile::exists(take));
    EXPECT_FALSE(QFile::exists(temporary_wave_path(*state)));
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(1), url_of(1)}));
    EXPECT_EQ(media().play_state(), play_state::playing);
    QStringList shown;
    for (const QList<QVariant>& caption : captions) shown << caption.at(0).toString();
    EXPECT_EQ(shown, (QStringList{"錄音中", "9錄音"}));
}

TEST_F(PlaybackSessionTest, ClosingInsideTheThreeSecondWaitStartsNothing) {
    start_playing();
    during([&] { media().finish_song(); }, 1000, [&] { session().close(); });
    EXPECT_EQ(media().played_urls, QStringList{url_of(1)});
    EXPECT_EQ(media().play_state(), play_state::undefined);
    EXPECT_EQ(state->play_queue.number_at(0), song_num(2));  // the song that was to come stays first
    EXPECT_FALSE(session().Timer1.isActive() || session().Timer2.isActive());
    session().start_head_if_idle();
    session().Timer2_Timer();
    EXPECT_EQ(media().played_urls.size(), 1);
}

TEST_F(PlaybackSessionTest, RestartingTheHeadRunsItsStepOnlyWhenStillOpen) {
    start_playing();
    bool ran = false;
    EXPECT_TRUE(session().restart_head(2, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(session().Timer1.isActive() && session().Timer2.isActive());

    ran = false;
    bool restarted = true;
    during([&] { restarted = session().restart_head(2, [&] { ran = true; }); }, 1000,
           [&] { session().close(); });
    EXPECT_FALSE(restarted);
    EXPECT_FALSE(ran);
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(1)}));
}

TEST_F(PlaybackSessionTest, OneFinishedSongAdvancesOnceWhateverReportsIt) {
    start_playing();
    QSignalSpy removed(&session(), &PlaybackSession::head_removed);
    // The watch sees the stop first; the end and an error event follow during the pause.
    QTimer::singleShot(state->clock.real_ms(1000), &window, [&] {
        emit media().end_of_stream();
        emit media().error_occurred();
        session().Timer2_Timer();
    });
    media().set_state(play_state::stopped);
    session().Timer2_Timer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return media().played_urls.size() == 2; }, kTimeoutMs));
    EXPECT_EQ(removed.count(), 1);
    emit media().end_of_stream();  // late, while the next song plays
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(state->play_queue.size(), 2);
}

TEST_F(PlaybackSessionTest, PauseVolumeAndChannelAreAnnouncedToTheWindows) {
    start_playing();
    QSignalSpy paused(&session(), &PlaybackSession::paused_changed);
    QSignalSpy volume(&session(), &PlaybackSession::volume_changed);
    QSignalSpy buttons(&session(), &PlaybackSession::channel_button_pressed);
    session().toggle_pause();
    EXPECT_TRUE(session().paused());
    session().toggle_pause();
    EXPECT_FALSE(session().paused());
    ASSERT_EQ(paused.count(), 2);
    EXPECT_EQ(paused.at(0).at(0).toBool(), true);
    EXPECT_EQ(paused.at(1).at(0).toBool(), false);

    media().set_volume(95);
    session().step_volume(1);
    session().step_volume(1);
    ASSERT_EQ(volume.count(), 2);
    EXPECT_EQ(volume.at(1).at(0).toInt(), 100);

    session().press_channel_button(2);
    session().next_channel();
    EXPECT_EQ(state->sound_channel, 1);
    EXPECT_EQ(messages, (QStringList{"聲道 : 右", "聲道 : 中"}));
    ASSERT_EQ(buttons.count(), 1);
    EXPECT_EQ(buttons.at(0).at(0).toInt(), 2);
}

TEST_F(PlaybackSessionTest, ClosingDuringATakeDropsItUnsavedAndKeepsTheSongFirst) {
    start_playing();
    session().record();
    ASSERT_TRUE(state->is_recording);
    QSignalSpy closed(&session(), &PlaybackSession::closed_now);
    session().close();
    session().close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(state->is_recording);
    EXPECT_FALSE(QFile::exists(state->record_file));
    EXPECT_EQ(capture.commands.last(), kCaptureStop);
    EXPECT_EQ(state->play_queue.number_at(0), song_num(1));
}

}  // namespace
