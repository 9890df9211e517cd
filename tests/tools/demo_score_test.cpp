// The demo library's clips carry a guide, an accompaniment and the melody
// alone: a microphone that plays the melody stream scores them high.
#include "foundation/catalogue.h"
#include "playback/song_scoring.h"
#include "support/media_clips.h"
#include "support/singing_clips.h"
#include "support/test_support.h"
#include "tools/demo_library.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kClips = 2;

// The clip's melody stream as the microphone hears it: 120 ms late, and
// `semitones` off at the same tempo.
QByteArray melody_heard(const QString& clip, int semitones, const TempFolder& folder) {
    const double ratio = std::pow(2.0, semitones / 12.0);
    const QString filter = QString("adelay=120|120,asetrate=%1,aresample=44100,atempo=%2")
                               .arg(qRound(44100 * ratio))
                               .arg(1 / ratio, 0, 'f', 6);
    const QString raw = folder.file(QString("melody%1.raw").arg(semitones));
    run_ffmpeg({"-i", clip, "-map", "0:a:2", "-af", filter, "-ac", "2", "-ar", "44100", "-f", "s16le"}, raw);
    QFile file(raw);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

std::optional<int> score_of(const QString& clip, const QByteArray& heard) {
    SingingMicrophone microphone(heard);
    SongScoring scoring(microphone.factory());
    scoring.song_started(clip);
    EXPECT_TRUE(microphone.heard_whole_song());
    return scoring.song_over(0);
}

TEST(DemoScore, TheMelodyStreamScoresHighAndThreeSemitonesOffLow) {
    TempFolder folder;
    DemoOptions options;
    options.song_count = kClips;
    options.seconds = kSongSeconds;
    make_demo_library(folder.path(), options);
    close_kept_connection();
    const QStringList clips = QDir(folder.file("demo-songs")).entryList({"*.mp4"});
    ASSERT_EQ(clips.size(), kClips);
    for (const QString& name : clips) {
        const QString clip = folder.file("demo-songs/" + name);
        EXPECT_GE(score_of(clip, melody_heard(clip, 0, folder)).value_or(-1), 90) << name.toStdString();
        EXPECT_LE(score_of(clip, melody_heard(clip, 3, folder)).value_or(101), 30) << name.toStdString();
    }
}

}  // namespace
