// The video drawn in a native window of its own, on a real X server: its
// frames show, widgets given to show_over_video show over them, and keys and
// clicks on the picture reach the player. Runs on a private Xvfb screen.
#include "platform/mpv_media_player.h"
#include "support/media_clips.h"
#include "support/test_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QOpenGLWindow>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 10000;
// The clip's one colour, and the message's.
const QColor kClipColour(0x20, 0x60, 0xa0);
const QColor kMessageColour(Qt::magenta);

bool near(const QColor& seen, const QColor& expected) {
    const int tolerance = 12;
    return std::abs(seen.red() - expected.red()) <= tolerance &&
           std::abs(seen.green() - expected.green()) <= tolerance &&
           std::abs(seen.blue() - expected.blue()) <= tolerance;
}

class VideoWindowTest : public ::testing::Test {
protected:
    VideoWindowTest() : engine(&window, MpvPlayerOptions{.null_audio = true}) {
        window.setGeometry(0, 0, 320, 240);
        window.show();
        engine.set_geometry(window.rect());
        engine.set_visible(true);
        message.setParent(&window);
        message.setGeometry(220, 10, 90, 40);
        message.setText("■■");
        QPalette palette = message.palette();
        palette.setColor(QPalette::WindowText, kMessageColour);
        message.setPalette(palette);
        QFont font = message.font();
        font.setPixelSize(36);
        message.setFont(font);
        message.hide();
        engine.show_over_video(&message);
        // Qt makes the video window's GL context once it is on screen.
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(200);
    }

    // A clip of one colour that plays for a while in real time.
    QString make_clip() {
        const QString clip = folder.file("colour.mp4");
        const int result = QProcess::execute("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                                        "color=c=0x2060a0:size=160x120:rate=25:d=8", "-c:v",
                                                        "libx264", "-pix_fmt", "yuv420p", clip});
        EXPECT_EQ(result, 0);
        return clip;
    }

    void play_clip() {
        QSignalSpy started(&engine, &MediaPlayer::playback_started);
        engine.set_url(file_url(make_clip()));
        ASSERT_TRUE(started.wait(kTimeoutMs));
    }

    // What the X server shows at a point of the window.
    static QColor shown_at(const QPoint& point) {
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        return screen.pixelColor(point);
    }

    // Whether the message's colour shows anywhere in its area, within a few frames.
    bool message_colour_shows() {
        for (int attempt = 0; attempt < 40; ++attempt) {
            QTest::qWait(50);
            const QImage area =
                QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(message.geometry());
            for (int y = 0; y < area.height(); ++y)
                for (int x = 0; x < area.width(); ++x)
                    if (near(area.pixelColor(x, y), kMessageColour)) return true;
        }
        return false;
    }

    // The native window the video is drawn in.
    static QWindow* video_window() {
        for (QWindow* window : QGuiApplication::allWindows())
            if (qobject_cast<QOpenGLWindow*>(window)) return window;
        return nullptr;
    }

    TempFolder folder;
    QWidget window;
    MpvMediaPlayer engine;
    QLabel message;
};

TEST_F(VideoWindowTest, FramesOfTheClipShowInTheVideoArea) {
    play_clip();
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            return near(shown_at({160, 160}), kClipColour);
        },
        kTimeoutMs))
        << shown_at({160, 160}).name().toStdString();
}

TEST_F(VideoWindowTest, AMessageShowsOverThePlayingVideoAndGoesWithIt) {
    play_clip();
    EXPECT_FALSE(message_colour_shows());
    message.show();
    EXPECT_TRUE(message_colour_shows());
    message.hide();
    EXPECT_FALSE(message_colour_shows());
}

TEST_F(VideoWindowTest, KeysAndClicksOnThePictureReachThePlayer) {
    play_clip();
    QWindow* video = video_window();
    ASSERT_NE(video, nullptr);
    QSignalSpy keys(&engine, &MediaPlayer::key_pressed);
    QSignalSpy clicks(&engine, &MediaPlayer::clicked);
    QTest::keyClick(video, Qt::Key_5, Qt::NoModifier);
    QTest::mouseClick(video, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    ASSERT_EQ(keys.count(), 1);
    EXPECT_EQ(keys.at(0).at(0).toInt(), '5');
    EXPECT_EQ(clicks.count(), 1);
}

}  // namespace
