#include "platform/mpv_media_player.h"
#include "playback/player_fixture.h"
#include "support/media_clips.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// Only an upper bound: the untimed clips end in a fraction of a second.
constexpr int kTimeoutMs = 20000;

// The player on libmpv without video or sound output, playing as fast as
// it decodes.
class PlayerOnTheEngineTest : public ::testing::Test, public PlayerFixture {
protected:
    PlayerOnTheEngineTest() {
        state->platform.make_media_player =
            mpv_media_player_factory({.null_video = true, .null_audio = true, .untimed = true});
    }

    // Orders the clips as songs 1, 2, ... and opens the player on them.
    void open_on(const QStringList& paths) {
        for (int i = 0; i < paths.size(); ++i) {
            add_song(i + 1, paths[i]);
            queue_song(i + 1);
        }
        screen = std::make_unique<player>(*state, nullptr);
        removed = std::make_unique<QSignalSpy>(&screen->session(), &PlaybackSession::head_removed);
        ended = std::make_unique<QSignalSpy>(screen->wmp1, &MediaPlayer::end_of_stream);
        failed = std::make_unique<QSignalSpy>(screen->wmp1, &MediaPlayer::error_occurred);
        screen->show();
        screen->Form_Activate();
    }
    bool wait_until_queue_empty() {
        return QTest::qWaitFor(
            [&] { return state->play_queue.empty() && screen->wmp1->play_state() == play_state::undefined; },
            kTimeoutMs);
    }

    const MediaClips& clips = media_clips();
    std::unique_ptr<QSignalSpy> removed;
    std::unique_ptr<QSignalSpy> ended;
    std::unique_ptr<QSignalSpy> failed;
};

TEST_F(PlayerOnTheEngineTest, ATwoSongQueuePlaysThroughAdvancingOncePerSong) {
    open_on({clips.three_streams, clips.two_streams});
    ASSERT_TRUE(wait_until_queue_empty());
    QTest::qWait(50);  // room for any late event
    EXPECT_EQ(removed->count(), 2);
    EXPECT_EQ(ended->count(), 2);
    EXPECT_EQ(failed->count(), 0);
    EXPECT_TRUE(screen->Image1.isVisible());
}

TEST_F(PlayerOnTheEngineTest, CorruptAndMissingFilesAreSkippedWithoutAMessageAndLoggedWithTheReason) {
    const LogLines log;
    open_on({clips.corrupt, clips.missing, clips.song_mp3});
    ASSERT_TRUE(wait_until_queue_empty());
    EXPECT_EQ(removed->count(), 3);
    EXPECT_EQ(failed->count(), 2);
    EXPECT_EQ(ended->count(), 1);
    EXPECT_FALSE(screen->labMsg.isVisible());
    const QStringList lines = log.of("karaoke.playback");
    ASSERT_EQ(lines.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString path = i == 0 ? clips.corrupt : clips.missing;
        EXPECT_TRUE(lines[i].startsWith("skipped song " + song_num(i + 1) + " " + path + " : "))
            << lines[i].toStdString();
        EXPECT_GT(lines[i].size(), ("skipped song " + song_num(i + 1) + " " + path + " : ").size())
            << lines[i].toStdString();
    }
}

TEST_F(PlayerOnTheEngineTest, PathsWithBlanksHashAndChinesePlay) {
    open_on({clips.odd_name});
    ASSERT_TRUE(wait_until_queue_empty());
    EXPECT_EQ(ended->count(), 1);
    EXPECT_EQ(failed->count(), 0);
}

// The watch timer applies the channel while the song plays. The song is held
// paused until its streams are known, so that it cannot end first.
class StreamSwitchTest : public PlayerOnTheEngineTest {
protected:
    int stream_heard_with_channel(const QString& clip, int channel, int streams) {
        open_on({clip});
        screen->wmp1->pause();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return screen->wmp1->audio_stream_count() == streams; }, kTimeoutMs));
        screen->session().choose_channel(channel);
        screen->wmp1->play();
        screen->session().watch_now();
        return screen->wmp1->current_audio_stream();
    }
};

TEST_F(StreamSwitchTest, AClipWithThreeStreamsSwitchesWhenTheChannelChanges) {
    EXPECT_EQ(stream_heard_with_channel(clips.three_streams, 3, 3), 3);
    ASSERT_TRUE(wait_until_queue_empty());
    EXPECT_EQ(ended->count(), 1);
}

TEST_F(StreamSwitchTest, AClipWithTwoStreamsKeepsItsFirstStream) {
    EXPECT_EQ(stream_heard_with_channel(clips.two_streams, 2, 2), 1);
    ASSERT_TRUE(wait_until_queue_empty());
}

}  // namespace
