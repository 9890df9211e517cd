#include "foundation/helpers.h"
#include "widgets/scale_control.h"

#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class MediaExtensions : public ::testing::Test {
protected:
    TempFolder folder_;
    std::unique_ptr<AppState> state_ = make_test_state(folder_);
};

TEST_F(MediaExtensions, MusicScreensUseTheMusicList) {
    for (const QString status : {"8_1", "8_1_2"}) {
        EXPECT_TRUE(is_media_ext(*state_, status, "Song.MP3"));
        EXPECT_TRUE(is_media_ext(*state_, status, "a.b.wav"));
        EXPECT_FALSE(is_media_ext(*state_, status, "Song.mp3.txt"));
        EXPECT_FALSE(is_media_ext(*state_, status, "photo.jpg"));
    }
    EXPECT_TRUE(is_media_ext(*state_, "8_1", "mid"));  // no dot: the whole name is compared
    EXPECT_FALSE(is_media_ext(*state_, "8_1", "midi"));
}

TEST_F(MediaExtensions, PictureScreensUsePicturesAndMovies) {
    EXPECT_TRUE(is_media_ext(*state_, "8_2", "Photo.JPG"));
    EXPECT_TRUE(is_media_ext(*state_, "8_2_2", "clip.mpeg"));
    EXPECT_FALSE(is_media_ext(*state_, "8_2", "song.mp3"));
}

TEST_F(MediaExtensions, OtherScreensAndEmptyListsAcceptNothing) {
    EXPECT_FALSE(is_media_ext(*state_, "8", "Song.mp3"));
    EXPECT_FALSE(is_media_ext(*state_, "0", "Song.mp3"));
    state_->settings.ExtMusic = "";
    EXPECT_FALSE(is_media_ext(*state_, "8_1", "Song.mp3"));
    EXPECT_FALSE(is_media_ext(*state_, "8_1", "noextension"));
    EXPECT_FALSE(is_media_ext(*state_, "8_1", "ends with dot."));
}

TEST_F(MediaExtensions, ListItemsAreTrimmedAndCaseFree) {
    state_->settings.ExtMusic = " MP3 , Ogg ";
    EXPECT_TRUE(is_media_ext(*state_, "8_1", "x.ogg"));
    EXPECT_TRUE(is_media_ext(*state_, "8_1", "x.mp3 "));
}

TEST_F(MediaExtensions, MovieTestUsesTheMovieList) {
    EXPECT_TRUE(is_movie_ext(*state_, "Karaoke.DAT"));
    EXPECT_TRUE(is_movie_ext(*state_, "clip.avi"));
    EXPECT_FALSE(is_movie_ext(*state_, "photo.jpg"));
    EXPECT_FALSE(is_movie_ext(*state_, "avi.txt"));
}

TEST(FileExists, OnlyReadableFilesExist) {
    TempFolder folder;
    QFile file(folder.file("song.mp4"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(file_exists(folder.file("song.mp4")));
    EXPECT_FALSE(file_exists(folder.file("missing.mp4")));
    EXPECT_FALSE(file_exists(folder.path()));
    EXPECT_FALSE(file_exists(""));

    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    file.setPermissions(QFileDevice::WriteOwner);
    EXPECT_FALSE(file_exists(folder.file("song.mp4")));
}

TEST(ScaleControl, ScalesGeometryAndFontAndNamesTheFont) {
    QWidget window;
    window.setGeometry(10, 20, 300, 200);
    window.setFont(QFont("Sans", 12));

    scale_control(&window, 2.0);

    EXPECT_EQ(window.geometry(), QRect(20, 40, 600, 400));
    EXPECT_DOUBLE_EQ(window.font().pointSizeF(), 24.0);
    EXPECT_EQ(window.font().family(), "標楷體");
}

TEST(ScaleControl, ControlsOfAScaledWindowAreScaledOnce) {
    QWidget window;
    window.setFont(QFont("Sans", 10));
    auto* inherits = new QLabel("a", &window);
    auto* own_font = new QLabel("b", &window);
    own_font->setFont(QFont("Sans", 20));
    auto* pixels = new QLabel("c", &window);
    QFont pixel_font("Sans");
    pixel_font.setPixelSize(15);
    pixels->setFont(pixel_font);

    for (QObject* object : {static_cast<QObject*>(&window), static_cast<QObject*>(inherits),
                            static_cast<QObject*>(own_font), static_cast<QObject*>(pixels)}) {
        scale_control(object, 1.5);
    }

    EXPECT_DOUBLE_EQ(inherits->font().pointSizeF(), 15.0);
    EXPECT_EQ(inherits->font().family(), "標楷體");
    EXPECT_DOUBLE_EQ(own_font->font().pointSizeF(), 30.0);
    EXPECT_EQ(pixels->font().pixelSize(), 23);  // 22.5 rounded
}

TEST(ScaleControl, ControlsInAFrameOfAScaledWindowAreScaledOnce) {
    QWidget window;
    window.setFont(QFont("Sans", 10));
    auto* frame = new QWidget(&window);
    auto* in_frame = new QLabel("a", frame);
    auto* framed_frame = new QWidget(frame);
    framed_frame->setFont(QFont("Sans", 8));
    auto* in_own_font_frame = new QLabel("b", framed_frame);

    for (QObject* object : {static_cast<QObject*>(&window), static_cast<QObject*>(frame),
                            static_cast<QObject*>(in_frame), static_cast<QObject*>(in_own_font_frame)}) {
        scale_control(object, 2.0);
    }

    EXPECT_DOUBLE_EQ(in_frame->font().pointSizeF(), 20.0);
    EXPECT_EQ(in_frame->font().family(), "標楷體");
    // A frame with a font of its own that was not scaled: its controls scale theirs.
    EXPECT_DOUBLE_EQ(in_own_font_frame->font().pointSizeF(), 16.0);
}

TEST(ScaleControl, ObjectsWithoutSizeOrFontAreLeftAlone) {
    QTimer timer;
    timer.setInterval(20);
    scale_control(&timer, 2.0);
    scale_control(nullptr, 2.0);
    EXPECT_EQ(timer.interval(), 20);
}

}  // namespace
