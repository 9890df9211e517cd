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
    ASSERT_TRUE(session().is_recording());
    const QString take = session().record_file();
    session().sing_again();
    EXPECT_FALSE(session().is_recording());
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
    EXPECT_FALSE(session().watching());
    session().start_head_if_idle();
    session().watch_now();
    EXPECT_EQ(media().played_urls.size(), 1);
}

TEST_F(PlaybackSessionTest, RestartingTheHeadRunsItsStepOnlyWhenStillOpen) {
    start_playing();
    bool ran = false;
    EXPECT_TRUE(session().restart_head(2, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(session().watching());

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
        session().watch_now();
    });
    media().set_state(play_state::stopped);
    session().watch_now();
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
    EXPECT_EQ(session().sound_channel(), 1);
    EXPECT_EQ(messages, (QStringList{"聲道 : 右", "聲道 : 中"}));
    ASSERT_EQ(buttons.count(), 1);
    EXPECT_EQ(buttons.at(0).at(0).toInt(), 2);
}

TEST_F(PlaybackSessionTest, WithoutStereoChannelOneStereoStreamIsHeardAsRecorded) {
    start_playing();
    for (int channel : {3, 2, 1}) {
        session().choose_channel(channel);
        session().watch_now();
    }
    EXPECT_EQ(media().sound_filters, QStringList{});
    EXPECT_EQ(media().stereo_side(), StereoSide::both);
}

TEST_F(PlaybackSessionTest, WithStereoChannelTheWatchPlaysTheChosenSideOfOneStereoStream) {
    state->settings.StereoChannel = 1;
    start_playing();
    media().set_position(42);
    EXPECT_EQ(media().sound_filters, QStringList{});  // nothing before the watch looks
    session().watch_now();
    EXPECT_EQ(media().stereo_side(), StereoSide::left);  // channel 2, the player's first choice
    session().choose_channel(3);
    EXPECT_EQ(message(), "聲道 : 右");
    EXPECT_EQ(media().stereo_side(), StereoSide::left);  // the watch applies it
    session().watch_now();
    session().watch_now();
    session().choose_channel(1);
    EXPECT_EQ(message(), "聲道 : 中");
    session().watch_now();
    EXPECT_EQ(media().sound_filters, (QStringList{"left 0", "right 0", "both 0"}));
    // The song went on: not stopped, not played again, still at its place.
    EXPECT_EQ(media().played_urls, QStringList{url_of(1)});
    EXPECT_FALSE(media().calls.contains("stop"));
    EXPECT_EQ(media().position_seconds(), 42);

    // A side belongs to its song: the next one starts as recorded, and the
    // watch chooses again for it.
    session().choose_channel(3);
    session().watch_now();
    media().finish_song();
    ASSERT_EQ(media().played_urls.size(), 2);
    EXPECT_EQ(media().stereo_side(), StereoSide::both);
    EXPECT_EQ(media().starting_stereo_side(), StereoSide::right);  // the engine starts it there
    session().watch_now();
    EXPECT_EQ(media().stereo_side(), StereoSide::right);
}

TEST_F(PlaybackSessionTest, OnlyWithStereoChannelDoesASongStartOnASide) {
    start_playing();
    EXPECT_EQ(media().starting_stereo_side(), StereoSide::both);
    state->settings.StereoChannel = 1;
    media().finish_song();
    EXPECT_EQ(media().starting_stereo_side(), StereoSide::left);
}

TEST_F(PlaybackSessionTest, WithStereoChannelOtherMediaKeepTheirSound) {
    state->settings.StereoChannel = 1;
    start_playing();
    session().choose_channel(3);
    struct Media {
        int streams;
        int channels;
    };
    for (const Media& kind : {Media{3, 2}, Media{2, 2}, Media{1, 1}, Media{1, 6}}) {
        media().set_stream_count(kind.streams);
        media().set_channel_count(kind.channels);
        session().watch_now();
        EXPECT_EQ(media().stereo_side(), StereoSide::both) << kind.streams << " " << kind.channels;
    }
    EXPECT_EQ(media().stream_choices, std::vector<int>{3});  // the three-stream media switched stream
    EXPECT_EQ(media().sound_filters, QStringList{});
}

TEST_F(PlaybackSessionTest, TheKeyStepsBySemitonesWithinSixEitherWayAndIsAnnounced) {
    session().step_key(1);  // nothing plays yet
    EXPECT_EQ(messages, QStringList{});
    start_playing();
    QSignalSpy keys(&session(), &PlaybackSession::key_changed);
    session().step_key(1);
    session().step_key(1);
    EXPECT_EQ(session().key_shift(), 2);
    EXPECT_EQ(media().key_shift(), 2);
    EXPECT_EQ(message(), "音調 : +2");
    for (int i = 0; i < 6; ++i) session().step_key(1);
    EXPECT_EQ(message(), "音調 : +6");
    EXPECT_EQ(media().key_shift(), 6);
    for (int i = 0; i < 13; ++i) session().step_key(0);
    EXPECT_EQ(message(), "音調 : -6");
    for (int i = 0; i < 3; ++i) session().step_key(0);
    EXPECT_EQ(message(), "音調 : -6");
    for (int i = 0; i < 3; ++i) session().step_key(1);
    EXPECT_EQ(message(), "音調 : -3");
    session().toggle_pause();
    for (int i = 0; i < 3; ++i) session().step_key(1);  // paused songs change key too
    EXPECT_EQ(message(), "音調 : 原調");
    EXPECT_EQ(keys.size(), 2 + 6 + 13 + 3 + 3 + 3);
    EXPECT_EQ(keys.last().at(0).toInt(), 0);
    EXPECT_EQ(media().played_urls, QStringList{url_of(1)});  // the song went on
}

TEST_F(PlaybackSessionTest, EachNewSongStartsInItsOwnKeyAndSingingAgainKeepsTheShift) {
    start_playing();
    QList<int> songs_played_at_reset;
    QObject::connect(&session(), &PlaybackSession::key_changed, &window, [&](int semitones) {
        if (semitones == 0) songs_played_at_reset << media().played_urls.size();
    });
    session().step_key(0);
    session().step_key(0);
    session().sing_again();
    EXPECT_EQ(media().played_urls, (QStringList{url_of(1), url_of(1)}));
    EXPECT_EQ(media().key_shift(), -2);

    media().finish_song();
    EXPECT_EQ(media().played_urls.size(), 3);
    EXPECT_EQ(media().key_shift(), 0);
    EXPECT_EQ(songs_played_at_reset, QList<int>{2});  // before the next song began

    session().step_key(1);
    session().cut();
    EXPECT_EQ(media().key_shift(), 0);
    session().step_key(1);
    media().finish_song();  // the queue is empty now: the key waits for the next song
    ASSERT_TRUE(state->play_queue.empty());
    add_song(4, "/songs/4.mpg");
    queue_song(4);
    session().start_head_if_idle();
    EXPECT_EQ(media().key_shift(), 0);
    EXPECT_EQ(songs_played_at_reset, (QList<int>{2, 3, 4}));
}

TEST_F(PlaybackSessionTest, AKeyChangeDuringATakeKeepsTheTakeRunning) {
    start_playing();
    session().record();
    ASSERT_TRUE(session().is_recording());
    const QStringList commands = capture.commands;
    session().step_key(1);
    EXPECT_TRUE(session().is_recording());
    EXPECT_EQ(capture.commands, commands);
    EXPECT_EQ(media().played_urls.size(), 2);  // the song and its take's start only
}

TEST_F(PlaybackSessionTest, ClosingDuringATakeDropsItUnsavedAndKeepsTheSongFirst) {
    start_playing();
    session().record();
    ASSERT_TRUE(session().is_recording());
    QSignalSpy closed(&session(), &PlaybackSession::closed_now);
    session().close();
    session().close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(session().is_recording());
    EXPECT_FALSE(QFile::exists(session().record_file()));
    EXPECT_EQ(capture.commands.last(), kCaptureStop);
    EXPECT_EQ(state->play_queue.number_at(0), song_num(1));
}

}  // namespace
