#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class QKeyEvent;
class QWidget;

// The play-state numbers callers compare against, as a Windows Media Player
// control reports them.
namespace play_state {
enum : int { undefined = 0, stopped = 1, paused = 2, playing = 3, ready = 10 };
}

// "mm:ss" (and "hh:mm:ss" from one hour on) for a position in seconds.
QString position_text(double seconds);

// What the speakers play of a stereo sound: both channels as recorded, or
// one side of it on both speakers (karaoke media often carry the guide
// vocal on one side and the accompaniment on the other).
enum class StereoSide { both, left, right };

// The sound channel a song starts on: 1 "中", 2 "左", 3 "右".
constexpr int kStartingSoundChannel = 2;

// The audio stream (1 for the first) heard on sound channel `channel` from
// media with `audio_streams` streams: media with more than two switch to
// the channel's stream, the others keep their first.
int audio_stream_of_channel(int audio_streams, int channel);

// The side heard on sound channel `channel` from media of one stereo stream
// when the venue plays its sides apart: 1 both, 2 left, 3 right.
StereoSide stereo_side_of_channel(int channel);

// The key shift of the sound, in semitones either way.
constexpr int kMaxKeyShift = 6;

// One embedded media player: a source URL played in a widget laid in a window.
//
// Events arrive as signals on the GUI thread, never from inside the call that
// caused them: a file that cannot be played reports its error after play()
// has returned. When a file ends the state changes first (to stopped), then
// end_of_stream() follows, unless a play_state_changed handler already moved
// on to another source. After an error the state is ready.
class MediaPlayer : public QObject {
    Q_OBJECT

public:
    // The widget lives in `video_surface()`; callers place and show it.
    MediaPlayer() = default;
    ~MediaPlayer() override = default;

    // "file://" + a local path; the path is taken literally (no percent
    // decoding). An empty URL closes the media. With auto-start on, setting
    // the URL also plays it; otherwise the state becomes ready.
    virtual void set_url(const QString& url) = 0;
    virtual QString url() const = 0;

    // Plays the source from its start, or resumes it when paused.
    virtual void play() = 0;
    // Only while playing.
    virtual void pause() = 0;
    // Only while playing or paused; a later play() starts from the beginning.
    virtual void stop() = 0;
    // Unloads the media: the state becomes undefined; the URL is kept.
    virtual void close() = 0;

    virtual int play_state() const = 0;
    // "Playing", "Paused", "Stopped", "Ready", or empty when nothing is loaded.
    QString status_text() const;
    // The position while playing or paused ("00:00" before the first frame);
    // empty otherwise, as there is then no position to show.
    QString current_position_text() const;

    // Seconds played and the length of the loaded media (0 while unknown).
    virtual double position_seconds() const = 0;
    virtual double duration_seconds() const { return 0; }
    // Jumps to a position while playing or paused; a player that cannot
    // seek ignores it.
    virtual void seek(double /*seconds*/) {}

    // 0..100; values outside are clamped. Starts at 50.
    void set_volume(int volume);
    int volume() const { return volume_; }

    // On by default.
    void set_auto_start(bool on) { auto_start_ = on; }
    bool auto_start() const { return auto_start_; }
    // Modes "autorewind" and "loop" (case-insensitive), both off at first;
    // other names are ignored.
    void set_mode(const QString& mode, bool on);
    bool mode(const QString& mode) const;

    // Audio streams of the loaded media (0 while nothing is loaded) and the
    // one heard, both 1-based; an index outside 1..count is ignored.
    virtual int audio_stream_count() const = 0;
    virtual int current_audio_stream() const = 0;
    virtual void set_current_audio_stream(int index) = 0;
    // Channels of the stream heard (0 while unknown or nothing is loaded).
    virtual int audio_channel_count() const { return 0; }

    // How the sound is played, kept from source to source like the volume
    // and changed while a song plays without interrupting it. Both start
    // neutral: both sides as recorded, in the recorded key.
    void set_stereo_side(StereoSide side);
    StereoSide stereo_side() const { return stereo_side_; }
    // The side the next sources of one stereo stream start with, from their
    // first sample (a room that plays the sides apart); with both, the side
    // stays as set. Engines that cannot see the streams before the sound
    // starts leave it to callers.
    void set_starting_stereo_side(StereoSide side) { starting_stereo_side_ = side; }
    StereoSide starting_stereo_side() const { return starting_stereo_side_; }
    // Semitones within -kMaxKeyShift..kMaxKeyShift (clamped); the tempo stays.
    void set_key_shift(int semitones);
    int key_shift() const { return key_shift_; }

    // The gain (dB) the sources played from now on get in the engine, from
    // their first sample: what brings a song measured for loudness to the
    // common level. The volume acts on top of it. Starts at 0 (as recorded).
    void set_source_gain_db(double decibels) { source_gain_db_ = decibels; }
    double source_gain_db() const { return source_gain_db_; }

    // The video area, a child of the window the player was made for.
    virtual QWidget* video_surface() const = 0;
    void set_geometry(const QRect& geometry);
    QRect geometry() const;
    void set_visible(bool visible);
    // Whether the area is set visible (shown once its window is).
    bool is_visible() const;
    // A widget of the same window that lies over the video area, such as a
    // message shown over the picture: the player keeps it in sight (a video
    // drawn in a native window of its own would cover it).
    virtual void show_over_video(QWidget* /*widget*/) {}

    // Why the last source failed, as the engine put it; set before
    // error_occurred() and empty when the engine gave no reason.
    QString error_text() const { return error_text_; }

signals:
    void play_state_changed(int new_state);
    void error_occurred();
    void end_of_stream();
    // The source's first picture is out (for sound alone, its sound has
    // begun): once each time a source is played from its start.
    void playback_started();
    // A mouse click on the video area.
    void clicked();
    // A key pressed while the video area has the focus (key_code_of).
    void key_pressed(int key_code);

protected:
    // Hand a changed setting to the engine.
    virtual void apply_volume(int /*volume*/) {}
    virtual void apply_loop(bool /*on*/) {}
    // Called only when the side or the key shift has changed.
    virtual void apply_sound_filters() {}
    void set_error_text(const QString& text) { error_text_ = text; }
    // Turns key presses and clicks on the surface (the video area's widget,
    // or a native window drawing into it) into key_pressed and clicked.
    void watch_input(QObject* surface);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int volume_ = 50;
    bool auto_start_ = true;
    // Without looping the media is unloaded at its end and plays again from
    // the start, so rewinding or not looks the same to callers.
    bool autorewind_ = false;
    bool loop_ = false;
    StereoSide stereo_side_ = StereoSide::both;
    StereoSide starting_stereo_side_ = StereoSide::both;
    int key_shift_ = 0;
    double source_gain_db_ = 0;
    QString error_text_;
};

// Makes a media player whose video area is a child of `parent`.
using MediaPlayerFactory = std::function<std::unique_ptr<MediaPlayer>(QWidget* parent)>;
