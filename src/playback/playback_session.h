#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

struct AppState;
class MediaPlayer;
class SongScoring;

// The one place that decides what plays now. It holds the media engine of
// the singing window, the watch timers, the pause between songs, the audio
// channel, the voice recording take and whether the evening's playback is
// closed, and it offers the operations the guest reaches through the panels,
// the sound panel and the hotkeys. Windows follow what changed through its
// signals and getters; none of them drives the engine or the timers itself.
//
// Every wait runs a nested event loop, so handlers of other windows run
// inside it. While it waits nothing else may start or advance the queue, and
// once it is over nothing starts when the session was closed meanwhile.
class PlaybackSession : public QObject {
    Q_OBJECT
public:
    // Takes the engine over; both timers start at once.
    PlaybackSession(AppState& state, std::unique_ptr<MediaPlayer> media);
    ~PlaybackSession() override;

    MediaPlayer& media() const { return *media_; }

    // Starts the head of the queue at once when nothing is loaded or the
    // engine is ready, without a pause; otherwise nothing happens.
    void start_head_if_idle();
    // Removes the head and plays the new one after three seconds of
    // background; true when a song was started, false when the queue became
    // empty (the background stays) or nothing could start.
    bool advance();
    // Stops and unloads the song, shows the background for `pause_seconds`,
    // runs `before_play` and plays the head from its start. False, with
    // nothing started and `before_play` not run, when the session was closed
    // during the wait.
    bool restart_head(int pause_seconds, const std::function<void()>& before_play = {});
    // The first start of the evening: three seconds of background, then the
    // head (when the queue holds one).
    void start_after_pause();
    // Looks at the playback at once, as the watch timer does every 100 ms:
    // advances after a song that stopped, applies the channel to the song
    // that plays.
    void watch_now();
    // The watch timer runs: not while the session rests it (the pause
    // between songs, a restart) nor once the session is closed.
    bool watching() const { return Timer2.isActive(); }

    // The guest's operations. Cut, sing again and record act only while a
    // song plays; a take that runs is thrown away by cut, pause and sing again.
    void cut();
    void toggle_pause();
    bool paused() const;
    void sing_again();
    // 1 up, 0 down by 10 within 0..100; any other index only announces the volume.
    void step_volume(int index);
    int volume() const;
    // Sets the channel the watch timer applies and announces it.
    void choose_channel(int channel);
    // The audio channel chosen: 1, 2 or 3, named "中", "左", "右"; 2 at first.
    int sound_channel() const { return sound_channel_; }
    // What the channel hotkeys do: the sound panel's channel button 0, 1 or
    // 2 (left, centre, right), even while the panel is not loaded.
    void press_channel_button(int index);
    // "*": 1, 2, 3, 1, ...
    void next_channel();
    // 1 up, 0 down by a semitone within -kMaxKeyShift..kMaxKeyShift, while a
    // song plays or is paused; announced like the volume. Each new song
    // starts in its own key; singing it again keeps the shift.
    void step_key(int index);
    int key_shift() const;
    // Starts a take over the song playing (from its beginning), or throws the
    // running take away and records it again under the same name.
    void record();
    // A take runs; it ends when the song stops playing.
    bool is_recording() const { return is_recording_; }
    // The full path of the running or the last take; empty before the first.
    const QString& record_file() const { return record_file_; }

    // Someone beside the windows (a guest's phone) changed the play queue:
    // windows that list it show it afresh.
    void announce_queue_changed() { emit queue_changed(); }

    // A text for the status message in the corner of the singing window.
    void show_message(const QString& text);

    // The singing score of the song that ended last, shown on the background
    // until the next song starts; nothing without `Score = 1`, for a song
    // without a guide vocal or one cut before half its length.
    std::optional<int> shown_score() const { return shown_score_; }

    // Ends playback: the song stays at the head of the queue, a running take
    // is dropped unsaved, nothing plays or starts afterwards.
    void close();
    bool closed() const { return closed_; }

signals:
    void status_message(const QString& text);
    void paused_changed(bool paused);
    void volume_changed(int volume);
    void key_changed(int semitones);
    void record_caption_changed(const QString& caption);
    // press_channel_button ran: a loaded sound panel names the channel.
    void channel_button_pressed(int index);
    // The head of the queue was removed (a song ended, failed or was cut).
    void head_removed();
    // The play queue was changed from outside the windows (announce_queue_changed).
    void queue_changed();
    // true: the background picture over the screen; false: the video.
    void background_changed(bool shown);
    // Timer2 has looked at the playback, while the session is open.
    void watched();
    // close() has run.
    void closed_now();

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void play_head();
    void start_new_song();
    void reset_key();
    void apply_sound_channel();
    void rest_timers();
    void resume_timers();
    bool song_is_over() const;
    void song_ended();
    void song_failed();
    void play_state_changed(int new_state);
    bool wait_between_songs(int seconds);
    void start_take();
    void restart_take();
    void take_running();
    void discard_take();
    void score_song();

    AppState& state_;
    std::unique_ptr<MediaPlayer> media_;
    QTimer Timer1;  // every 5 s: starts the head when idle
    QTimer Timer2;  // every 100 ms: advances after a song, applies the channel
    int sound_channel_;
    bool is_recording_ = false;
    QString record_file_;
    bool between_songs_ = false;
    bool closed_ = false;
    std::unique_ptr<SongScoring> scoring_;
    std::optional<int> shown_score_;
};

// Media with more than two audio streams hear stream `channel`; media with
// one or two are left alone.
void select_audio_track(MediaPlayer& media, int channel);

// Media with exactly one audio stream of two channels play the side of
// `channel` on both speakers (2 left, 3 right) or both as recorded (1);
// other media are left alone.
void select_stereo_side(MediaPlayer& media, int channel);

// The key shift as the guest reads it: "原調", "+2", "-3".
QString key_text(int semitones);
