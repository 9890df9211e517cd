#include "platform/mpv_media_player.h"

#include "platform/log.h"
#include "platform/mpv_video_window.h"

#include <QFile>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <mpv/client.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

void use_c_numeric_locale() {
    if (std::strcmp(std::localeconv()->decimal_point, ".") != 0) std::setlocale(LC_NUMERIC, "C");
}

QWidget* make_black_surface(QWidget* parent) {
    auto* surface = new QWidget(parent);
    surface->setAutoFillBackground(true);
    QPalette palette = surface->palette();
    palette.setColor(QPalette::Window, Qt::black);
    surface->setPalette(palette);
    return surface;
}

// The local path of a "file://" URL, taken literally: names may hold "%",
// "#" and blanks that must not be decoded. Paths joined with "\" the
// Windows way are turned around when only that spelling exists here.
QString local_path_of(const QString& url) {
    static const QString scheme = "file://";
    QString path = url.startsWith(scheme, Qt::CaseInsensitive) ? url.mid(scheme.size()) : url;
    if (path.contains('\\') && !QFileInfo::exists(path)) {
        const QString forward = QString(path).replace('\\', '/');
        if (QFileInfo::exists(forward)) path = forward;
    }
    return path;
}

// The value under `key` of a node map, or null.
const mpv_node* map_value(const mpv_node& map, const char* key) {
    if (map.format != MPV_FORMAT_NODE_MAP) return nullptr;
    for (int i = 0; i < map.u.list->num; ++i) {
        if (std::strcmp(map.u.list->keys[i], key) == 0) return &map.u.list->values[i];
    }
    return nullptr;
}

// Whether the platform can give the video area an OpenGL context at all (the
// offscreen platform cannot); without one the engine plays with null video.
bool platform_has_opengl() {
    static const bool available = [] {
        QOpenGLContext probe;
        return probe.create();
    }();
    return available;
}

// The label of the pitch filter in mpv's chain, which commands name.
constexpr const char* kPitchFilterLabel = "key";
// mpv's hook between opening a source and making its decoders.
constexpr std::uint64_t kPreloadedHook = 1;

double pitch_of_key_shift(int semitones) {
    return std::pow(2.0, semitones / 12.0);
}

}  // namespace

const std::vector<MpvOption>& mpv_playback_options() {
    static const std::vector<MpvOption> options = {
        {"idle", "yes"},
        {"keep-open", "no"},
        {"keepaspect", "no"},     // video stretched to the area
        {"audio-display", "no"},  // cover art of music files is no video
        {"hwdec", "no"},
        {"osd-level", "0"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
    };
    return options;
}

// Each side is copied onto both outputs; the pitch is scaled with the time
// kept (librubberband through libavfilter, whose filter keeps every sample,
// where mpv's own one drops its latency at the end).
QByteArray sound_filter_chain(double gain_db, StereoSide side, std::optional<double> pitch) {
    QByteArrayList filters;
    if (gain_db != 0) filters << "lavfi=[volume=" + QByteArray::number(gain_db, 'f', 2) + "dB]";
    if (side == StereoSide::left) filters << "lavfi=[pan=stereo|c0=c0|c1=c0]";
    if (side == StereoSide::right) filters << "lavfi=[pan=stereo|c0=c1|c1=c1]";
    if (pitch) {
        filters << "@" + QByteArray(kPitchFilterLabel) +
                       ":lavfi=[rubberband=pitch=" + QByteArray::number(*pitch, 'f', 6) + ":pitchq=quality]";
    }
    return filters.join(',');
}

void prepare_media_engine() {
    use_c_numeric_locale();
}

MpvMediaPlayer::MpvMediaPlayer(QWidget* parent, const MpvPlayerOptions& options)
    : soundfont_(options.soundfont) {
    use_c_numeric_locale();
    const bool draw_video = !options.null_video && platform_has_opengl();
    mpv_ = mpv_create();
    if (mpv_) configure(options, draw_video);
    if (mpv_ && mpv_initialize(mpv_) < 0) {
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
    }
    if (!mpv_)
        qCWarning(lcPlayback) << "the media engine (libmpv) could not start: every song will be skipped";
    if (mpv_) {
        mpv_hook_add(mpv_, kPreloadedHook, "on_preloaded", 0);
        mpv_set_wakeup_callback(
            mpv_,
            [](void* player) {
                auto* self = static_cast<MpvMediaPlayer*>(player);
                QMetaObject::invokeMethod(
                    self, [self] { self->drain_events(); }, Qt::QueuedConnection);
            },
            this);
    }
    if (!draw_video || !mpv_)
        surface_ = make_black_surface(parent);
    else {
        video_ = new MpvVideoWindow(mpv_, [this] { video_output_ready(); });
        surface_ = QWidget::createWindowContainer(video_, parent);
        video_->set_container(surface_);
        // Keys and clicks on the video arrive at the window, not its container.
        watch_input(video_);
    }
    watch_input(surface_);
}

MpvMediaPlayer::~MpvMediaPlayer() {
    if (mpv_) mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    delete surface_.data();  // frees the render context while mpv still exists
    if (mpv_) mpv_terminate_destroy(mpv_);
}

QWidget* MpvMediaPlayer::video_surface() const {
    return surface_;
}

void MpvMediaPlayer::configure(const MpvPlayerOptions& options, bool draw_video) {
    const auto set = [this](const char* name, const char* value) {
        mpv_set_option_string(mpv_, name, value);
    };
    set("vo", draw_video ? "libmpv" : "null");
    if (!options.audio_file.isEmpty()) {
        set("ao", "pcm");
        set("ao-pcm-file", options.audio_file.toUtf8().constData());
        set("audio-format", "s16");
    } else {
        set("ao", options.null_audio ? "null" : "pipewire,pulse,alsa,null");
    }
    if (options.untimed) {
        set("untimed", "yes");
        set("ao-null-untimed", "yes");
    }
    for (const MpvOption& option : mpv_playback_options()) set(option.name, option.value);
    set("volume", QByteArray::number(volume()).constData());
}

void MpvMediaPlayer::set_url(const QString& url) {
    unload();
    url_ = url;
    if (url_.isEmpty()) {
        change_state(play_state::undefined);
    } else if (auto_start()) {
        start_source();
    } else {
        change_state(play_state::ready);
    }
}

void MpvMediaPlayer::play() {
    if (state_ == play_state::paused) {
        set_property("pause", "no");
        change_state(play_state::playing);
    } else if (state_ != play_state::playing && !url_.isEmpty()) {
        start_source();
    }
}

void MpvMediaPlayer::pause() {
    if (state_ != play_state::playing) return;
    set_property("pause", "yes");
    change_state(play_state::paused);
}

void MpvMediaPlayer::stop() {
    if (state_ != play_state::playing && state_ != play_state::paused) return;
    unload();
    change_state(play_state::stopped);
}

void MpvMediaPlayer::close() {
    unload();
    change_state(play_state::undefined);
}

// The state is playing from here on; loading and its failure follow
// asynchronously, as they do with any media.
void MpvMediaPlayer::start_source() {
    unload();
    make_filters_for_new_source();
    const QString path = playable_path();
    // mpv would play a folder as a playlist of what it holds, whose entries
    // this player does not follow: the song would never end.
    if (!mpv_) {
        fail_later("the media engine did not start");
    } else if (path.isEmpty() || QFileInfo(path).isDir()) {
        fail_later(path.isEmpty() ? "nothing to play" : "a folder, not a media file");
    } else {
        set_property("pause", "no");
        // Without a video output mpv fails the whole file: until the area
        // has been shown, play the sound and bring the picture in later.
        set_property("vid", !video_ || video_->has_render_context() ? "auto" : "no");
        if (video_) video_->set_blank(false);
        const QByteArray local_path = path.toUtf8();
        const char* command[] = {"loadfile", local_path.constData(), "replace", nullptr};
        mpv_node result;
        if (const int rc = mpv_command_ret(mpv_, command, &result); rc < 0) {
            fail_later(mpv_error_string(rc));
        } else {
            const mpv_node* entry_id = map_value(result, "playlist_entry_id");
            if (entry_id && entry_id->format == MPV_FORMAT_INT64) entry_id_ = entry_id->u.int64;
            mpv_free_node_contents(&result);
        }
    }
    change_state(play_state::playing);
}

// The file mpv plays for the URL: the local path itself, or for a MIDI file
// a WAV rendering of it (empty when that fails).
QString MpvMediaPlayer::playable_path() {
    const QString path = local_path_of(url_);
    if (!is_midi_file_name(path)) return path;
    if (!midi_folder_) midi_folder_ = std::make_unique<QTemporaryDir>();
    // A fresh name each time: mpv may still be reading the previous file.
    QFile::remove(midi_folder_->filePath(QString("midi-%1.wav").arg(midi_renders_)));
    const QString wav = midi_folder_->filePath(QString("midi-%1.wav").arg(++midi_renders_));
    return midi_folder_->isValid() && render_midi_to_wav(path, wav, soundfont_) ? wav : QString();
}

void MpvMediaPlayer::set_property(const char* name, const char* value) {
    if (mpv_) mpv_set_property_string(mpv_, name, value);
}

void MpvMediaPlayer::unload() {
    ++generation_;
    if (entry_id_ >= 0) {
        const char* command[] = {"stop", nullptr};
        mpv_command(mpv_, command);
    }
    forget_entry();
}

void MpvMediaPlayer::forget_entry() {
    if (video_) video_->set_blank(true);
    entry_id_ = -1;
    entry_started_ = false;
    media_loaded_ = false;
    start_reported_ = false;
}

void MpvMediaPlayer::fail_later(const QString& reason) {
    const std::uint64_t generation = generation_;
    QTimer::singleShot(0, this, [this, generation, reason] {
        set_error_text(reason);
        if (generation == generation_) finish(play_state::ready, &MediaPlayer::error_occurred);
    });
}

void MpvMediaPlayer::drain_events() {
    const QPointer<MpvMediaPlayer> alive(this);
    while (alive && mpv_) {
        const mpv_event* event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE) return;
        handle_event(*event);
    }
}

void MpvMediaPlayer::handle_event(const mpv_event& event) {
    switch (event.event_id) {
        case MPV_EVENT_START_FILE:
            if (static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id == entry_id_)
                entry_started_ = true;
            break;
        case MPV_EVENT_FILE_LOADED:
            media_loaded_ = entry_started_;
            break;
        case MPV_EVENT_PLAYBACK_RESTART:
            // mpv restarts once the first frame has been shown.
            if (media_loaded_ && !start_reported_) {
                start_reported_ = true;
                emit playback_started();
            }
            break;
        case MPV_EVENT_HOOK:
            source_preloaded(event);
            break;
        case MPV_EVENT_END_FILE: {
            // Read out before any handler runs: a handler's own draining reuses the event.
            const auto* end = static_cast<const mpv_event_end_file*>(event.data);
            finish_entry(end->playlist_entry_id, end->reason, end->error);
            break;
        }
        default:
            break;
    }
}

// mpv waits at this hook until it is told to go on, with the source's
// tracks known and no sound decoded yet: a source of one stereo stream gets
// its starting side here, so that its first second is not heard both ways.
void MpvMediaPlayer::source_preloaded(const mpv_event& event) {
    const auto* hook = static_cast<const mpv_event_hook*>(event.data);
    if (event.reply_userdata == kPreloadedHook && entry_started_ &&
        starting_stereo_side() != StereoSide::both && audio_track_count() == 1 &&
        audio_track_channels(false) == 2)
        set_stereo_side(starting_stereo_side());
    mpv_hook_continue(mpv_, hook->id);
}

void MpvMediaPlayer::finish_entry(std::int64_t entry_id, int reason, int error) {
    if (entry_id != entry_id_) return;
    forget_entry();
    if (reason == MPV_END_FILE_REASON_EOF) {
        finish(play_state::stopped, &MediaPlayer::end_of_stream);
    } else if (reason == MPV_END_FILE_REASON_ERROR) {
        set_error_text(mpv_error_string(error));
        finish(play_state::ready, &MediaPlayer::error_occurred);
    } else {
        change_state(play_state::stopped);
    }
}

// The state changes first; the event follows unless a handler of the state
// change has already loaded, stopped or closed something else.
void MpvMediaPlayer::finish(int state, void (MediaPlayer::*event)()) {
    const QPointer<MpvMediaPlayer> alive(this);
    const std::uint64_t generation = ++generation_;
    change_state(state);
    if (alive && generation == generation_) emit(this->*event)();
}

void MpvMediaPlayer::change_state(int state) {
    if (state == state_) return;
    state_ = state;
    emit play_state_changed(state);
}

void MpvMediaPlayer::apply_volume(int volume) {
    // mpv's volume scale is already cubic (gain = (v/100)^3), a loudness
    // curve like the Windows control's, so the 0..100 steps pass straight on:
    // 50 is a gain of 0.125 (-18 dB), 100 the file's own level.
    double mpv_volume = volume;
    if (mpv_) mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &mpv_volume);
}

void MpvMediaPlayer::apply_loop(bool on) {
    set_property("loop-file", on ? "inf" : "no");
}

// mpv changes its filters in place and keeps those whose text stays the
// same: the song goes on from where it was. While sound flows, a pitch
// filter in the chain takes a new pitch as a command; a new filter would
// first fill its window, and the sound would stop for as long. Otherwise
// the filter is made anew (the filters of a paused song may not be set up
// yet and would miss the command).
void MpvMediaPlayer::apply_sound_filters() {
    if (state_ == play_state::playing && entry_id_ >= 0 && pitch_filter_made_with_)
        send_pitch(pitch_of_key_shift(key_shift()));
    else
        pitch_filter_made_with_ = pitch_filter_for_key();
    set_filter_chain();
}

std::optional<double> MpvMediaPlayer::pitch_filter_for_key() const {
    if (key_shift() == 0) return std::nullopt;
    return pitch_of_key_shift(key_shift());
}

// mpv makes the filters of a new source from the chain's text: make the
// pitch filter with the pitch the source is to play at (during a song,
// commands may have moved it away from the one in the text), and the gain
// filter with the source's gain, before mpv reads its first sample.
void MpvMediaPlayer::make_filters_for_new_source() {
    if (pitch_filter_made_with_ == pitch_filter_for_key() && chain_gain_db_ == source_gain_db()) return;
    pitch_filter_made_with_ = pitch_filter_for_key();
    chain_gain_db_ = source_gain_db();
    set_filter_chain();
}

void MpvMediaPlayer::set_filter_chain() {
    if (!mpv_) return;
    const QByteArray chain = sound_filter_chain(chain_gain_db_, stereo_side(), pitch_filter_made_with_);
    if (const int rc = mpv_set_property_string(mpv_, "af", chain.constData()); rc < 0)
        qCWarning(lcPlayback).noquote()
            << "the sound filters" << chain << "were refused:" << mpv_error_string(rc);
}

// mpv reports this command as failed whatever happens: libavfilter passes it
// to every filter of the graph and answers with the last one's reply, from
// a filter that takes no commands. The pitch filter has taken it.
void MpvMediaPlayer::send_pitch(double pitch) {
    if (!mpv_) return;
    const QByteArray value = QByteArray::number(pitch, 'f', 6);
    const char* command[] = {"af-command", kPitchFilterLabel, "pitch", value.constData(), nullptr};
    mpv_command(mpv_, command);
}

double MpvMediaPlayer::duration_seconds() const {
    double seconds = 0;
    if (!media_loaded_ || mpv_get_property(mpv_, "duration", MPV_FORMAT_DOUBLE, &seconds) < 0) return 0;
    return seconds;
}

void MpvMediaPlayer::seek(double seconds) {
    if (!media_loaded_ || (state_ != play_state::playing && state_ != play_state::paused)) return;
    const QByteArray target = QByteArray::number(std::max(0.0, seconds));
    const char* command[] = {"seek", target.constData(), "absolute", nullptr};
    mpv_command(mpv_, command);
}

// A field of mpv's track list as text (empty when it has none).
QByteArray MpvMediaPlayer::track_field(std::int64_t track, const char* field) const {
    const QByteArray name = "track-list/" + QByteArray::number(track) + "/" + field;
    char* value = mpv_get_property_string(mpv_, name.constData());
    const QByteArray text(value);
    mpv_free(value);
    return text;
}

int MpvMediaPlayer::audio_stream_count() const {
    return media_loaded_ ? audio_track_count() : 0;
}

int MpvMediaPlayer::audio_track_count() const {
    std::int64_t tracks = 0;
    if (mpv_get_property(mpv_, "track-list/count", MPV_FORMAT_INT64, &tracks) < 0) return 0;
    int audio_streams = 0;
    for (std::int64_t i = 0; i < tracks; ++i) {
        if (track_field(i, "type") == "audio") ++audio_streams;
    }
    return audio_streams;
}

// The channels of the first audio track, or of the selected one (before
// the decoders are made, none is selected yet).
int MpvMediaPlayer::audio_track_channels(bool selected_only) const {
    std::int64_t tracks = 0;
    if (mpv_get_property(mpv_, "track-list/count", MPV_FORMAT_INT64, &tracks) < 0) return 0;
    for (std::int64_t i = 0; i < tracks; ++i) {
        if (track_field(i, "type") == "audio" && (!selected_only || track_field(i, "selected") == "yes"))
            return track_field(i, "demux-channel-count").toInt();
    }
    return 0;
}

int MpvMediaPlayer::audio_channel_count() const {
    return media_loaded_ ? audio_track_channels(true) : 0;
}

int MpvMediaPlayer::current_audio_stream() const {
    std::int64_t aid = 0;
    // "aid" reads as a text ("no", "auto") when no stream is selected.
    if (!media_loaded_ || mpv_get_property(mpv_, "aid", MPV_FORMAT_INT64, &aid) < 0) return 0;
    return static_cast<int>(aid);
}

void MpvMediaPlayer::set_current_audio_stream(int index) {
    // Callers apply their choice every 100 ms: only a real change reaches mpv.
    if (index < 1 || index > audio_stream_count() || index == current_audio_stream()) return;
    // libmpv 0.35 re-reads the file from shortly before the position to fill
    // the new stream; once its reader has reached the end of the file that
    // refill never completes and playback stalls for good. The song is then
    // in its last second anyway: keep the stream (callers retry every tick).
    if (reader_at_end()) return;
    std::int64_t aid = index;
    mpv_set_property(mpv_, "aid", MPV_FORMAT_INT64, &aid);
}

bool MpvMediaPlayer::reader_at_end() const {
    mpv_node state;
    if (mpv_get_property(mpv_, "demuxer-cache-state", MPV_FORMAT_NODE, &state) < 0) return false;
    const mpv_node* eof = map_value(state, "eof");
    const bool at_end = eof && eof->format == MPV_FORMAT_FLAG && eof->u.flag;
    mpv_free_node_contents(&state);
    return at_end;
}

double MpvMediaPlayer::position_seconds() const {
    double seconds = 0;
    if (!media_loaded_ || mpv_get_property(mpv_, "time-pos", MPV_FORMAT_DOUBLE, &seconds) < 0) return 0;
    return seconds;
}

void MpvMediaPlayer::show_over_video(QWidget* widget) {
    if (video_) video_->add_overlay(widget);
}

std::int64_t MpvMediaPlayer::dropped_frames() const {
    std::int64_t frames = 0;
    if (!media_loaded_ || mpv_get_property(mpv_, "frame-drop-count", MPV_FORMAT_INT64, &frames) < 0) return 0;
    return frames;
}

// A file started before the video area had its GL context plays without
// picture; selecting the video now brings it in (but not in its last second,
// see set_current_audio_stream).
void MpvMediaPlayer::video_output_ready() {
    if (entry_id_ >= 0 && !reader_at_end()) set_property("vid", "auto");
}

MediaPlayerFactory mpv_media_player_factory(const MpvPlayerOptions& options) {
    return [options](QWidget* parent) -> std::unique_ptr<MediaPlayer> {
        return std::make_unique<MpvMediaPlayer>(parent, options);
    };
}
