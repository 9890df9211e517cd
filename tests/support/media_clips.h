#pragma once

#include <QString>
#include <QStringList>

// Short media files for tests against the real engine, made with ffmpeg
// once per test program in a temporary folder that goes with the program.
struct MediaClips {
    // 3 s, so that the engine has not read a clip to its end as soon as it
    // starts: streams can only be switched before that.
    QString three_streams;  // 160 x 120 video with three audio streams
    QString two_streams;    // the same with two audio streams
    QString song_mp3;       // 1 s of sound
    QString tune_mid;       // a 1.5 s Standard MIDI File of three notes
    QString corrupt;        // random bytes named ".mp4"
    QString corrupt_mid;    // random bytes named ".mid"
    QString missing;        // a path where no file is
    QString odd_name;       // the two-stream clip under blanks, "#", "%20" and Chinese
};

// Runs ffmpeg with its inputs and options to make `output`; a failing ffmpeg
// fails the calling test.
void run_ffmpeg(const QStringList& inputs_and_options, const QString& output);

// Made on the first call; a failing ffmpeg fails the calling test.
const MediaClips& media_clips();

// Tones whose pitch and sides the tests of the sound filters measure.
struct SoundClips {
    QString tone_440;  // 2 s of 440 Hz on both channels, a WAVE file
    // 4 s of VCD-style MPEG-1 (160 x 120 video, one MP2 stereo stream):
    // 440 Hz on the left, 880 Hz on the right.
    QString sides_440_880;
};

// Made on the first call, apart from media_clips().
const SoundClips& sound_clips();

// The URL the jukebox's windows give the player for a path.
inline QString file_url(const QString& path) {
    return "file://" + path;
}
