#pragma once

#include "platform/media_player.h"

#include <QPointer>
#include <QStringList>

#include <vector>

// A media player that plays nothing: calls move it through the states as the
// real engine would (play → playing, pause → paused, ...), and the test
// drives the rest by hand: end of a song, a broken file, streams, position.
// Key presses and clicks sent to its video area arrive as the real ones do.
class FakeMediaPlayer final : public MediaPlayer {
public:
    explicit FakeMediaPlayer(QWidget* parent);
    ~FakeMediaPlayer() override;

    void set_url(const QString& url) override;
    QString url() const override { return url_; }
    void play() override;
    void pause() override;
    void stop() override;
    void close() override;
    int play_state() const override { return state_; }
    int audio_stream_count() const override { return state_ == play_state::undefined ? 0 : stream_count_; }
    int current_audio_stream() const override { return current_stream_; }
    void set_current_audio_stream(int index) override;
    int audio_channel_count() const override { return state_ == play_state::undefined ? 0 : channel_count_; }
    QWidget* video_surface() const override;
    double position_seconds() const override { return position_; }
    double duration_seconds() const override { return state_ == play_state::undefined ? 0 : duration_; }
    void seek(double seconds) override;

    // Driving by hand. Each emits what the engine would.
    void set_state(int state);  // play_state_changed when it differs
    void finish_song();         // stopped, then end_of_stream
    // Ready, then error_occurred with the engine's reason.
    void fail_song(const QString& reason = "unrecognized file format");
    void set_stream_count(int count);                              // streams of every media loaded
    void set_channel_count(int count) { channel_count_ = count; }  // of the stream heard
    void set_position(double seconds) { position_ = seconds; }
    void set_duration(double seconds) { duration_ = seconds; }

    // What the callers did.
    QStringList played_urls;          // the URL at every play() that started it
    std::vector<int> stream_choices;  // every stream index that took effect
    QStringList calls;                // "set_url", "play", "pause", "stop", "close", "seek"
    // Every side and key shift that reached the engine, as "left +2".
    QStringList sound_filters;

protected:
    void apply_sound_filters() override;

private:
    QPointer<QWidget> surface_;
    QString url_;
    int state_ = play_state::undefined;
    int stream_count_ = 1;
    int channel_count_ = 2;
    int current_stream_ = 1;
    double position_ = 0;
    double duration_ = 180;
};

// Hands out fake players and keeps track of them, so that a test can reach
// the player a window made for itself.
class FakeMediaPlayers {
public:
    MediaPlayerFactory factory();
    // The player made last (null before the first or once it is gone).
    FakeMediaPlayer* last() const { return made_.empty() ? nullptr : made_.back().data(); }
    int count() const { return static_cast<int>(made_.size()); }

private:
    std::vector<QPointer<FakeMediaPlayer>> made_;
};
