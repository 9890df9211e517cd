#include "support/fake_media_player.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

TEST(PositionText, ShowsMinutesAndSecondsAndHoursFromOneHourOn) {
    EXPECT_EQ(position_text(0), "00:00");
    EXPECT_EQ(position_text(5.9), "00:05");
    EXPECT_EQ(position_text(65), "01:05");
    EXPECT_EQ(position_text(3599.5), "59:59");
    EXPECT_EQ(position_text(3725), "01:02:05");
    EXPECT_EQ(position_text(-1), "00:00");
}

class MediaPlayerInput : public ::testing::Test {
protected:
    MediaPlayerInput() {
        window.resize(200, 200);
        window.show();
        player.set_geometry({10, 10, 100, 80});
    }

    QList<int> codes_of_keys() const {
        QList<int> codes;
        for (const QList<QVariant>& arguments : keys) codes << arguments.at(0).toInt();
        return codes;
    }

    QWidget window;
    FakeMediaPlayer player{&window};
    QSignalSpy keys{&player, &MediaPlayer::key_pressed};
    QSignalSpy clicks{&player, &MediaPlayer::clicked};
};

TEST_F(MediaPlayerInput, KeysThatProduceACharacterArriveWithItsCode) {
    QWidget* surface = player.video_surface();
    QTest::keyClick(surface, 'Q');
    QTest::keyClick(surface, 'q');
    QTest::keyClick(surface, '*');
    QTest::keyClick(surface, '5');
    QTest::keyClick(surface, Qt::Key_Return);
    QTest::keyClick(surface, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(surface, Qt::Key_Backspace);
    QTest::keyClick(surface, Qt::Key_Escape);
    QTest::keyClick(surface, Qt::Key_Left);
    QTest::keyClick(surface, Qt::Key_F5);
    QTest::keyClick(surface, Qt::Key_Delete);
    QTest::keyClick(surface, Qt::Key_Shift);
    EXPECT_EQ(codes_of_keys(), (QList<int>{81, 113, 42, 53, 13, 13, 8, 27}));
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(MediaPlayerInput, AClickOnTheVideoAreaIsReported) {
    QTest::mouseClick(player.video_surface(), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(keys.count(), 0);
}

TEST_F(MediaPlayerInput, GeometryAndVisibilityAreTheVideoArea) {
    EXPECT_EQ(player.geometry(), QRect(10, 10, 100, 80));
    EXPECT_EQ(player.video_surface()->parentWidget(), &window);
    EXPECT_TRUE(player.is_visible());
    player.set_visible(false);
    EXPECT_FALSE(player.is_visible());
    EXPECT_FALSE(player.video_surface()->isVisible());
}

TEST(MediaPlayerSettings, VolumeIsClampedAndModesReadBack) {
    FakeMediaPlayer player(nullptr);
    EXPECT_EQ(player.volume(), 50);
    player.set_volume(150);
    EXPECT_EQ(player.volume(), 100);
    player.set_volume(-5);
    EXPECT_EQ(player.volume(), 0);
    EXPECT_TRUE(player.auto_start());
    player.set_mode("Loop", true);
    EXPECT_TRUE(player.mode("loop"));
    EXPECT_FALSE(player.mode("autorewind"));
    EXPECT_FALSE(player.mode("shuffle"));
}

TEST(MediaPlayerStatus, StatusAndPositionTextFollowTheState) {
    FakeMediaPlayer player(nullptr);
    player.set_auto_start(false);
    EXPECT_EQ(player.status_text(), "");
    player.set_url("file:///a.mp4");
    EXPECT_EQ(player.status_text(), "Ready");
    EXPECT_EQ(player.current_position_text(), "");
    player.play();
    player.set_position(75);
    EXPECT_EQ(player.status_text(), "Playing");
    EXPECT_EQ(player.current_position_text(), "01:15");
    player.pause();
    EXPECT_EQ(player.status_text(), "Paused");
    EXPECT_EQ(player.current_position_text(), "01:15");
    player.stop();
    EXPECT_EQ(player.status_text(), "Stopped");
    EXPECT_EQ(player.current_position_text(), "");
}
