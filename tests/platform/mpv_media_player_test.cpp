#include "platform/mpv_media_player.h"
#include "support/media_clips.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Only an upper bound: the untimed clips end in a fraction of a second.
constexpr int kTimeoutMs = 10000;

class MpvMediaPlayerTest : public ::testing::Test {
protected:
    MpvMediaPlayerTest()
        : player(&window, MpvPlayerOptions{.null_video = true, .null_audio = true, .untimed = true}) {}

    // Waits until the media has ended or failed, however many times before.
    bool wait_for_outcome(int ended_before, int failed_before) {
        return QTest::qWaitFor([&] { return ended.count() > ended_before || failed.count() > failed_before; },
                               kTimeoutMs);
    }
    bool play_to_outcome(const QString& path) {
        const int ended_before = ended.count();
        const int failed_before = failed.count();
        player.set_url(file_url(path));
        player.play();  // unless auto-start did
        return wait_for_outcome(ended_before, failed_before);
    }
    // mpv reports in order: once a later file's outcome is in, nothing more
    // can come about the files before it.
    void flush_earlier_events() { ASSERT_TRUE(play_to_outcome(clips.missing)); }
    QList<int> state_changes() const {
        QList<int> changes;
        for (const QList<QVariant>& arguments : states) changes << arguments.at(0).toInt();
        return changes;
    }

    const MediaClips& clips = media_clips();
    QWidget window;
    MpvMediaPlayer player;
    QSignalSpy ended{&player, &MediaPlayer::end_of_stream};
    QSignalSpy failed{&player, &MediaPlayer::error_occurred};
    QSignalSpy states{&player, &MediaPlayer::play_state_changed};
};

TEST_F(MpvMediaPlayerTest, PlaysAClipToItsEndAndReportsTheEndOnce) {
    player.set_auto_start(false);
    player.set_url(file_url(clips.three_streams));
    EXPECT_EQ(player.play_state(), play_state::ready);
    player.play();
    EXPECT_EQ(player.play_state(), play_state::playing);
    EXPECT_EQ(player.status_text(), "Playing");
    ASSERT_TRUE(wait_for_outcome(0, 0));
    EXPECT_EQ(player.play_state(), play_state::stopped);
    EXPECT_EQ(state_changes(), (QList<int>{play_state::ready, play_state::playing, play_state::stopped}));

    flush_earlier_events();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(failed.count(), 1);  // the flushing file only
}

TEST_F(MpvMediaPlayerTest, StoppedOrReplacedMediaReportNoEndOfTheirOwn) {
    player.set_url(file_url(clips.two_streams));
    player.stop();
    EXPECT_EQ(player.play_state(), play_state::stopped);
    player.play();  // from the start again
    player.set_url(file_url(clips.three_streams));
    ASSERT_TRUE(wait_for_outcome(0, 0));
    EXPECT_EQ(ended.count(), 1);

    flush_earlier_events();
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MpvMediaPlayerTest, MissingAndBrokenFilesReportAnErrorAndLeaveThePlayerReady) {
    for (const QString& path : {clips.missing, clips.corrupt, clips.corrupt_mid, QString("找不到105001")}) {
        SCOPED_TRACE(path.toStdString());
        const int failed_before = failed.count();
        ASSERT_TRUE(play_to_outcome(path));
        EXPECT_EQ(failed.count(), failed_before + 1);
        EXPECT_EQ(player.play_state(), play_state::ready);
    }
    EXPECT_EQ(ended.count(), 0);

    ASSERT_TRUE(play_to_outcome(clips.two_streams));
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MpvMediaPlayerTest, PausedMediaShowItsPositionAndSwitchAudioStreams) {
    player.set_url(file_url(clips.three_streams));
    player.pause();
    EXPECT_EQ(player.play_state(), play_state::paused);
    EXPECT_EQ(player.status_text(), "Paused");
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.audio_stream_count() == 3; }, kTimeoutMs));
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d$").match(player.current_position_text()).hasMatch())
        << player.current_position_text().toStdString();
    EXPECT_EQ(player.current_audio_stream(), 1);
    player.set_current_audio_stream(3);
    EXPECT_EQ(player.current_audio_stream(), 3);
    player.set_current_audio_stream(4);  // no such stream
    EXPECT_EQ(player.current_audio_stream(), 3);

    player.play();
    EXPECT_EQ(player.play_state(), play_state::playing);
    ASSERT_TRUE(wait_for_outcome(0, 0));
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MpvMediaPlayerTest, ReportsTheStartOfPlaybackOnceEachTimeASourceIsPlayedFromItsStart) {
    QSignalSpy started(&player, &MediaPlayer::playback_started);
    ASSERT_TRUE(play_to_outcome(clips.three_streams));
    EXPECT_EQ(started.count(), 1);
    ASSERT_TRUE(play_to_outcome(clips.corrupt));  // a file that never starts
    EXPECT_EQ(started.count(), 1);

    player.set_url(file_url(clips.two_streams));
    player.pause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.count() == 2; }, kTimeoutMs));
    player.seek(1.5);  // mpv restarts after a seek: not a new start
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position_seconds() >= 1.4; }, kTimeoutMs));
    player.play();
    ASSERT_TRUE(wait_for_outcome(ended.count(), failed.count()));
    EXPECT_EQ(started.count(), 2);
}

TEST_F(MpvMediaPlayerTest, CountsTwoStreamsOfATwoStreamClip) {
    player.set_url(file_url(clips.two_streams));
    player.pause();
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.audio_stream_count() == 2; }, kTimeoutMs));
}

TEST_F(MpvMediaPlayerTest, ClosingUnloadsTheMedia) {
    EXPECT_EQ(player.play_state(), play_state::undefined);
    player.set_url(file_url(clips.three_streams));
    player.pause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.audio_stream_count() == 3; }, kTimeoutMs));
    player.close();
    EXPECT_EQ(player.play_state(), play_state::undefined);
    EXPECT_EQ(player.status_text(), "");
    EXPECT_EQ(player.current_position_text(), "");
    EXPECT_EQ(player.audio_stream_count(), 0);
    EXPECT_EQ(player.url(), file_url(clips.three_streams));

    flush_earlier_events();
    EXPECT_EQ(ended.count(), 0);
}

TEST_F(MpvMediaPlayerTest, VolumeIsKeptWithinZeroToHundred) {
    player.set_volume(70);
    EXPECT_EQ(player.volume(), 70);
    player.set_volume(130);
    EXPECT_EQ(player.volume(), 100);
    ASSERT_TRUE(play_to_outcome(clips.song_mp3));
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MpvMediaPlayerTest, PlaysMp3AndMidiFilesToTheirEnd) {
    for (const QString& path : {clips.song_mp3, clips.tune_mid, clips.tune_mid}) {
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(play_to_outcome(path));
        EXPECT_EQ(failed.count(), 0);
    }
    EXPECT_EQ(ended.count(), 3);
}

TEST_F(MpvMediaPlayerTest, PlaysPathsWithBlanksHashPercentAndChineseLiterally) {
    ASSERT_TRUE(play_to_outcome(clips.odd_name));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(failed.count(), 0);
}

TEST_F(MpvMediaPlayerTest, PlaysPathsJoinedWithBackslashes) {
    QString joined = clips.song_mp3;
    joined.replace(joined.lastIndexOf('/'), 1, '\\');
    ASSERT_TRUE(play_to_outcome(joined));
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MpvMediaPlayerTest, AnEmptyUrlClosesTheMedia) {
    player.set_url(file_url(clips.two_streams));
    player.set_url("");
    EXPECT_EQ(player.play_state(), play_state::undefined);
    player.play();
    EXPECT_EQ(player.play_state(), play_state::undefined);
}

}  // namespace

namespace {

// A song whose location names a folder is a broken entry, not a playlist of
// whatever the folder holds.
TEST_F(MpvMediaPlayerTest, AFolderIsAnErrorEvenWhenItHoldsMedia) {
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(clips.two_streams, folder.filePath("inside.mp4")));
    ASSERT_TRUE(play_to_outcome(folder.path()));
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(player.play_state(), play_state::ready);
}

}  // namespace
