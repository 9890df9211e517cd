#pragma once

#include "platform/melody.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// Songs for the singing score: a tune of half-second notes over a low chord
// whose notes the tune never sings, and a singer who sings the tune.
constexpr int kSongSeconds = 10;

enum class SongLayout {
    VcdStereo,     // one stereo MPEG-1 stream: the chord on the left, tune and chord on the right
    TwoStreams,    // MP4: tune and chord in the first stream, the chord alone in the second
    SingleStream,  // one stream of tune and chord on both sides: no accompaniment to take away
};

// Writes the song in `layout` to `path`; a failing ffmpeg fails the calling test.
void make_scored_song(const QString& path, SongLayout layout, int seconds = kSongSeconds);

// What reaches the microphone: raw 16-bit stereo frames at 44.1 kHz, as
// the test ALSA device plays them back.
struct Singing {
    int delay_ms = 0;    // after the song's start
    int semitones = 0;   // off the tune
    bool tune = true;    // the singer sings
    bool chord = false;  // the speakers' chord is heard
    int seconds = kSongSeconds;
};
QByteArray singing_frames(const Singing& singing);

// The tune's note at `second` of the song, as a MIDI number, 0 between notes.
float tune_note_at(double second);

// The tune as the pitch follower should see it, 100 frames a second.
PitchTrack tune_track(int seconds = kSongSeconds, int semitones = 0, int delay_frames = 0);

class AlsaMicrophonePitch;
class MicrophonePitch;

// The microphone on the test ALSA device, playing back what the singer
// sings; on its clock the whole song has passed as soon as it starts
// listening, so it follows the song as fast as it can read it.
class SingingMicrophone {
public:
    explicit SingingMicrophone(const Singing& singing);
    // Raw frames as singing_frames() makes them, as long as the song.
    explicit SingingMicrophone(const QByteArray& frames);
    ~SingingMicrophone();

    // Makes microphones as the platform services do.
    std::function<std::unique_ptr<MicrophonePitch>()> factory();
    // Waits (a moment of real time) until the last microphone made has
    // followed the whole song.
    bool heard_whole_song() const;
    // Listens to the whole song at once.
    PitchTrack listen();

private:
    struct Device;
    std::unique_ptr<Device> device_;
    qint64 frames_;
    AlsaMicrophonePitch* last_ = nullptr;
};
