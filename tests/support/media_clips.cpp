#include "support/media_clips.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

QStringList video_input(int seconds) {
    return {"-f", "lavfi", "-i", QString("testsrc=size=160x120:rate=25:duration=%1").arg(seconds)};
}

QStringList tone_input(int frequency, int seconds) {
    return {"-f", "lavfi", "-i", QString("sine=frequency=%1:duration=%2").arg(frequency).arg(seconds)};
}

// A video with one audio stream per tone, each its own pitch.
void make_clip(const QString& output, int audio_streams) {
    constexpr int seconds = 3;
    QStringList arguments = video_input(seconds);
    QStringList maps{"-map", "0:v"};
    for (int i = 1; i <= audio_streams; ++i) {
        arguments += tone_input(220 * i, seconds);
        maps += QStringList{"-map", QString("%1:a").arg(i)};
    }
    run_ffmpeg(arguments + maps + QStringList{"-c:v", "mpeg4", "-c:a", "aac"}, output);
}

void write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray random_bytes(int size) {
    std::mt19937 generator(4);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator());
    return bytes;
}

// Format 0, 96 ticks a quarter note at the default 120 beats a minute:
// C, E and G of half a second each on the piano.
QByteArray three_note_midi() {
    const QByteArray track = QByteArray::fromHex(
        "00c000"
        "00903c64"
        "60803c40"
        "00904064"
        "60804040"
        "00904364"
        "60804340"
        "00ff2f00");
    QByteArray length(4, '\0');
    for (int i = 0; i < 4; ++i) length[3 - i] = static_cast<char>(track.size() >> (8 * i));
    return "MThd" +
           QByteArray::fromHex(
               "000000060000000100"
               "60") +
           "MTrk" + length + track;
}

MediaClips make_clips(const QString& folder) {
    MediaClips clips;
    clips.three_streams = folder + "three_streams.mp4";
    clips.two_streams = folder + "two_streams.mp4";
    clips.song_mp3 = folder + "song.mp3";
    clips.tune_mid = folder + "tune.mid";
    clips.corrupt = folder + "corrupt.mp4";
    clips.corrupt_mid = folder + "corrupt.mid";
    clips.missing = folder + "missing.mp4";
    clips.odd_name = folder + "歌 曲 #1 %20/a b#%中文.mp4";

    make_clip(clips.three_streams, 3);
    make_clip(clips.two_streams, 2);
    run_ffmpeg(tone_input(440, 1) + QStringList{"-c:a", "libmp3lame"}, clips.song_mp3);
    write_file(clips.tune_mid, three_note_midi());
    write_file(clips.corrupt, random_bytes(64 * 1024));
    write_file(clips.corrupt_mid, random_bytes(4096));
    QDir(folder).mkpath("歌 曲 #1 %20");
    QFile::copy(clips.two_streams, clips.odd_name);
    return clips;
}

SoundClips make_sound_clips(const QString& folder) {
    SoundClips clips;
    clips.tone_440 = folder + "tone_440.wav";
    clips.sides_440_880 = folder + "sides_440_880.mpg";
    run_ffmpeg(tone_input(440, 2) + QStringList{"-ac", "2", "-ar", "44100"}, clips.tone_440);
    run_ffmpeg(video_input(4) + tone_input(440, 4) + tone_input(880, 4) +
                   QStringList{"-filter_complex", "[1:a][2:a]join=inputs=2:channel_layout=stereo[a]", "-map",
                               "0:v", "-map", "[a]", "-c:v", "mpeg1video", "-c:a", "mp2", "-ar", "44100"},
               clips.sides_440_880);
    return clips;
}

}  // namespace

void run_ffmpeg(const QStringList& inputs_and_options, const QString& output) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 QStringList{"-loglevel", "error", "-y"} + inputs_and_options + QStringList{output});
    ffmpeg.waitForFinished(60000);
    ASSERT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();
}

const SoundClips& sound_clips() {
    static QTemporaryDir folder(QDir::tempPath() + "/karaoke-sounds-XXXXXX");
    static const SoundClips clips = make_sound_clips(folder.path() + "/");
    return clips;
}

const MediaClips& media_clips() {
    static QTemporaryDir folder(QDir::tempPath() + "/karaoke-clips-XXXXXX");
    static const MediaClips clips = make_clips(folder.path() + "/");
    return clips;
}
