#pragma once

#include "platform/media_player.h"
#include "platform/midi_renderer.h"

#include <QPointer>
class QTemporaryDir;
class MpvVideoWindow;

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct mpv_handle;
struct mpv_event;

// How the engine is set up. The defaults are the real program's; tests
// switch video and audio off and let clips play as fast as they decode.
struct MpvPlayerOptions {
    // vo=null: no video drawing. Also taken where the platform has no OpenGL
    // (the offscreen platform).
    bool null_video = false;
    // ao=null instead of trying pipewire, pulse, alsa and then null.
    bool null_audio = false;
    // Plays without waiting for the clock (untimed + ao-null-untimed).
    bool untimed = false;
    QString soundfont = kDefaultSoundfont;
    // When set, the sound goes into this WAVE file (16-bit) instead of a
    // sound device, as fast as it decodes; the file is complete once the
    // player is gone.
    QString audio_file = {};
};

// The mpv audio filter chain (its "af" property) that plays a source with
// a gain of `gain_db`, `side` of a stereo sound, through a pitch filter made
// with `pitch` (a frequency factor) when there is one; empty when all three
// are neutral.
QByteArray sound_filter_chain(double gain_db, StereoSide side, std::optional<double> pitch);

// One of the options the engine gives mpv.
struct MpvOption {
    const char* name;
    const char* value;
};

// What the engine sets on mpv for playback besides its outputs, timing and
// volume: the same for every file it plays.
const std::vector<MpvOption>& mpv_playback_options();

// libmpv refuses to start unless numbers are formatted the C way, and
// QApplication's constructor sets the locale from the environment. Call
// once after the QApplication exists; the engine also ensures it itself.
void prepare_media_engine();

// The media player on libmpv. Video is drawn through mpv's render API into a
// native OpenGL window embedded in the video area, with the widgets given to
// show_over_video drawn over it (with null video, the area is a plain black
// widget).
// MIDI files, which mpv cannot decode, are rendered to a temporary WAV file
// first.
class MpvMediaPlayer final : public MediaPlayer {
public:
    MpvMediaPlayer(QWidget* parent, const MpvPlayerOptions& options);
    ~MpvMediaPlayer() override;

    void set_url(const QString& url) override;
    QString url() const override { return url_; }
    void play() override;
    void pause() override;
    void stop() override;
    void close() override;
    int play_state() const override { return state_; }
    int audio_stream_count() const override;
    int current_audio_stream() const override;
    void set_current_audio_stream(int index) override;
    int audio_channel_count() const override;
    QWidget* video_surface() const override;
    double position_seconds() const override;
    double duration_seconds() const override;
    void seek(double seconds) override;

    // Frames of the media playing that were dropped because they were late
    // (a machine too slow for the video shows it here).
    std::int64_t dropped_frames() const;

    void show_over_video(QWidget* widget) override;

protected:
    void apply_volume(int volume) override;
    void apply_loop(bool on) override;
    void apply_sound_filters() override;

private:
    void configure(const MpvPlayerOptions& options, bool draw_video);
    std::optional<double> pitch_filter_for_key() const;
    void make_filters_for_new_source();
    void set_filter_chain();
    void send_pitch(double pitch);
    QByteArray track_field(std::int64_t track, const char* field) const;
    void start_source();
    QString playable_path();
    void set_property(const char* name, const char* value);
    void unload();
    void forget_entry();
    void fail_later(const QString& reason);
    void drain_events();
    void handle_event(const mpv_event& event);
    void source_preloaded(const mpv_event& event);
    int audio_track_count() const;
    int audio_track_channels(bool selected_only) const;
    void finish_entry(std::int64_t entry_id, int reason, int error);
    void finish(int state, void (MediaPlayer::*event)());
    void change_state(int state);
    void video_output_ready();
    bool reader_at_end() const;

    mpv_handle* mpv_ = nullptr;
    QPointer<QWidget> surface_;
    // The window drawing the video inside surface_, or null without video.
    QPointer<MpvVideoWindow> video_;
    QString soundfont_;
    std::unique_ptr<QTemporaryDir> midi_folder_;  // made on the first MIDI file
    int midi_renders_ = 0;
    // The pitch the chain's pitch filter was made with, while it has one
    // (later pitches may have reached it as commands).
    std::optional<double> pitch_filter_made_with_;
    // The gain of the source the chain was made for (source_gain_db() may
    // already be the next source's).
    double chain_gain_db_ = 0;

    QString url_;
    int state_ = play_state::undefined;
    // mpv's playlist entry of the file being played, or -1: events of
    // files that were replaced or stopped meanwhile are recognised by it.
    std::int64_t entry_id_ = -1;
    // mpv has started that entry, and has then opened it with its tracks
    // chosen: only from then on are its streams and position known.
    bool entry_started_ = false;
    bool media_loaded_ = false;
    // playback_started has been reported for that entry (mpv restarts
    // playback again after every seek).
    bool start_reported_ = false;
    // Counts every change of what is loaded, so that an event whose cause
    // was overtaken by a handler's own play/stop/close is not reported.
    std::uint64_t generation_ = 0;
};

// The real program's factory (and the tests' with their options).
MediaPlayerFactory mpv_media_player_factory(const MpvPlayerOptions& options = {});
