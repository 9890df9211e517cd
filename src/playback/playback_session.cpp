#include "playback/playback_session.h"

#include "foundation/app_state.h"
#include "foundation/lookups.h"
#include "foundation/loudness_store.h"
#include "platform/log.h"
#include "platform/media_player.h"
#include "playback/song_scoring.h"
#include "playback/voice_recording.h"

#include <algorithm>
#include <exception>

namespace {

constexpr int kPauseBetweenSongs = 3;
constexpr int kPauseBeforeAgain = 2;
constexpr int kVolumeStep = 10;
// The sound panel's buttons "1左", "2中", "3右" choose these channels.
constexpr int kButtonChannels[] = {2, 1, 3};

}  // namespace

void select_audio_track(MediaPlayer& media, int channel) {
    const int streams = media.audio_stream_count();
    if (streams > 2) media.set_current_audio_stream(audio_stream_of_channel(streams, channel));
}

void select_stereo_side(MediaPlayer& media, int channel) {
    if (media.audio_stream_count() != 1 || media.audio_channel_count() != 2) return;
    if (channel >= 1 && channel <= 3) media.set_stereo_side(stereo_side_of_channel(channel));
}

QString key_text(int semitones) {
    if (semitones == 0) return "原調";
    return (semitones > 0 ? "+" : "") + QString::number(semitones);
}

PlaybackSession::PlaybackSession(AppState& state, std::unique_ptr<MediaPlayer> media)
    : state_(state),
      media_(std::move(media)),
      sound_channel_(kStartingSoundChannel),
      scoring_(std::make_unique<SongScoring>(state.settings.Score == 1 ? state.platform.make_microphone_pitch
                                                                       : SongScoring::MicrophoneMaker{})) {
    media_->set_auto_start(false);
    media_->set_mode("autorewind", false);
    media_->set_mode("loop", false);
    media_->set_volume(50);
    connect(media_.get(), &MediaPlayer::play_state_changed, this, &PlaybackSession::play_state_changed);
    connect(media_.get(), &MediaPlayer::end_of_stream, this, &PlaybackSession::song_ended);
    connect(media_.get(), &MediaPlayer::error_occurred, this, &PlaybackSession::song_failed);
    state_.clock.set_interval(Timer1, 5000);
    state_.clock.set_interval(Timer2, 100);
    connect(&Timer1, &QTimer::timeout, this, &PlaybackSession::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &PlaybackSession::Timer2_Timer);
    resume_timers();
}

PlaybackSession::~PlaybackSession() {
    close();
}

// The head plays from the file it had when it was ordered, so a queue keeps
// singing while the catalogue is out of reach (a catalogue server that went
// away); only an entry without one asks the catalogue.
void PlaybackSession::play_head() {
    QString url = "file://";
    try {
        const QString kept = state_.play_queue.media_path_at(0);
        url += kept.isEmpty() ? get_song_location(state_, state_.play_queue.number_at(0)) : kept;
    } catch (const std::exception& error) {
        // Without the catalogue the song cannot be found: it fails to open and
        // is skipped like a broken file, and the guest sees why.
        show_message(QString::fromUtf8(error.what()));
    }
    // A side chosen for the song before belongs to it: the engine starts
    // this one on the side of the channel, and the watch keeps choosing.
    media_->set_stereo_side(StereoSide::both);
    media_->set_starting_stereo_side(
        state_.settings.StereoChannel == 1 ? stereo_side_of_channel(sound_channel_) : StereoSide::both);
    const QString path = url.mid(QString("file://").size());
    media_->set_source_gain_db(song_playback_gain_db(state_, path));
    media_->set_url(url);
    media_->play();
    shown_score_.reset();
    scoring_->song_started(path);
}

void PlaybackSession::start_new_song() {
    reset_key();
    play_head();
}

void PlaybackSession::reset_key() {
    if (media_->key_shift() == 0) return;
    media_->set_key_shift(0);
    emit key_changed(0);
}

void PlaybackSession::rest_timers() {
    Timer2.stop();
    Timer1.stop();
}

void PlaybackSession::resume_timers() {
    Timer2.start();
    Timer1.start();
}

// False when the session was closed during the wait: nothing may start then.
bool PlaybackSession::wait_between_songs(int seconds) {
    between_songs_ = true;
    state_.clock.wait_seconds(seconds);
    between_songs_ = false;
    return !closed_;
}

void PlaybackSession::start_after_pause() {
    if (closed_ || state_.play_queue.empty() || !wait_between_songs(kPauseBetweenSongs)) return;
    emit background_changed(false);
    start_new_song();
}

void PlaybackSession::start_head_if_idle() {
    if (between_songs_ || closed_) return;
    const int playing = media_->play_state();
    if ((playing != play_state::undefined && playing != play_state::ready) || state_.play_queue.empty())
        return;
    Timer2.stop();
    emit background_changed(false);
    start_new_song();
    Timer2.start();
}

bool PlaybackSession::restart_head(int pause_seconds, const std::function<void()>& before_play) {
    rest_timers();
    media_->stop();
    media_->close();
    emit background_changed(true);
    if (!wait_between_songs(pause_seconds)) return false;
    emit background_changed(false);
    if (before_play) before_play();
    play_head();
    resume_timers();
    return true;
}

bool PlaybackSession::advance() {
    if (between_songs_ || closed_) return false;
    score_song();
    state_.play_queue.remove_head();
    emit head_removed();
    if (!state_.play_queue.empty()) return restart_head(kPauseBetweenSongs, [this] { reset_key(); });
    rest_timers();
    media_->stop();
    emit background_changed(true);
    media_->close();
    resume_timers();
    return false;
}

// Before the song leaves the queue: the log names it by its number.
void PlaybackSession::score_song() {
    shown_score_ = scoring_->song_over(media_->key_shift());
    if (shown_score_)
        qCInfo(lcScore).noquote() << "song" << state_.play_queue.number_at(0) << "score" << *shown_score_;
}

void PlaybackSession::Timer1_Timer() {
    start_head_if_idle();
}

void PlaybackSession::watch_now() {
    Timer2_Timer();
}

void PlaybackSession::Timer2_Timer() {
    const int playing = media_->play_state();
    if (playing == play_state::stopped || playing == play_state::ready) advance();
    if (closed_) return;
    if (media_->play_state() == play_state::playing) apply_sound_channel();
    emit watched();
}

void PlaybackSession::apply_sound_channel() {
    select_audio_track(*media_, sound_channel_);
    if (state_.settings.StereoChannel == 1) select_stereo_side(*media_, sound_channel_);
}

// Events of a song that is no longer the one playing (the next one has
// started, or the queue is already advancing) are dropped, so that a song
// advances the queue once.
bool PlaybackSession::song_is_over() const {
    const int playing = media_->play_state();
    return playing != play_state::playing && playing != play_state::paused;
}

void PlaybackSession::song_ended() {
    if (song_is_over()) advance();
}

// A song the engine cannot play is skipped like one that ended; the log
// keeps which file it was and why.
void PlaybackSession::song_failed() {
    if (!song_is_over() || between_songs_ || closed_) return;
    log_skipped_song(state_.play_queue.number_at(0),
                     QString(media_->url()).remove(0, QString("file://").size()), media_->error_text());
    advance();
}

// The song stopped during a take: the take is complete and is kept.
void PlaybackSession::play_state_changed(int new_state) {
    if (!is_recording_ || new_state == play_state::playing) return;
    is_recording_ = false;
    end_recording_take(state_, record_file_);
    emit record_caption_changed(kRecordIdleCaption);
}

void PlaybackSession::cut() {
    if (media_->play_state() != play_state::playing) return;
    const bool was_recording = is_recording_;
    advance();
    if (was_recording) discard_take();
}

void PlaybackSession::toggle_pause() {
    const int playing = media_->play_state();
    if (playing == play_state::playing) {
        const bool was_recording = is_recording_;
        media_->pause();
        emit paused_changed(true);
        if (was_recording) discard_take();
    } else if (playing == play_state::paused) {
        media_->play();
        emit paused_changed(false);
    }
}

bool PlaybackSession::paused() const {
    return media_->play_state() == play_state::paused;
}

void PlaybackSession::sing_again() {
    if (media_->play_state() != play_state::playing) return;
    const bool was_recording = is_recording_;
    restart_head(kPauseBeforeAgain);
    if (was_recording) discard_take();
}

void PlaybackSession::step_volume(int index) {
    const int volume = media_->volume();
    if (index == 1)
        media_->set_volume(std::min(volume + kVolumeStep, 100));
    else if (index == 0)
        media_->set_volume(volume > kVolumeStep ? volume - kVolumeStep : 0);
    emit volume_changed(media_->volume());
}

int PlaybackSession::volume() const {
    return media_->volume();
}

// Only the choice is recorded; the watch timer applies it.
void PlaybackSession::choose_channel(int channel) {
    sound_channel_ = channel;
    show_message("聲道 : " + state_.sound_channel_names[channel]);
}

void PlaybackSession::press_channel_button(int index) {
    if (index < 0 || index > 2) return;
    choose_channel(kButtonChannels[index]);
    emit channel_button_pressed(index);
}

void PlaybackSession::next_channel() {
    choose_channel(sound_channel_ > 2 ? 1 : sound_channel_ + 1);
}

void PlaybackSession::step_key(int index) {
    const int playing = media_->play_state();
    if (playing != play_state::playing && playing != play_state::paused) return;
    if (index == 1 || index == 0) media_->set_key_shift(media_->key_shift() + (index == 1 ? 1 : -1));
    emit key_changed(media_->key_shift());
    show_message("音調 : " + key_text(media_->key_shift()));
}

int PlaybackSession::key_shift() const {
    return media_->key_shift();
}

void PlaybackSession::record() {
    if (media_->play_state() != play_state::playing) return;
    if (is_recording_)
        restart_take();
    else
        start_take();
}

// The capture starts right before the song, so the take covers it from its
// beginning.
void PlaybackSession::start_take() {
    record_file_.clear();
    if (restart_head(kPauseBeforeAgain, [this] { record_file_ = open_take(state_); })) take_running();
}

// Stopping the song ends the running take (it is saved), so what it left is
// removed before the same name is recorded again.
void PlaybackSession::restart_take() {
    media_->stop();
    emit record_caption_changed(kRecordRestartingCaption);
    const auto reopened = restart_head(kPauseBeforeAgain, [this] {
        clear_take(state_, record_file_);
        reopen_take(state_);
    });
    if (reopened)
        take_running();
    else
        clear_take(state_, record_file_);
}

void PlaybackSession::take_running() {
    is_recording_ = true;
    emit record_caption_changed(kRecordRunningCaption);
}

void PlaybackSession::discard_take() {
    discard_recording_take(state_, record_file_);
    is_recording_ = false;
}

void PlaybackSession::show_message(const QString& text) {
    emit status_message(text);
}

void PlaybackSession::close() {
    if (closed_) return;
    closed_ = true;
    if (is_recording_) {
        is_recording_ = false;
        drop_recording_take(state_);
    }
    rest_timers();
    scoring_->drop();
    media_->stop();
    media_->close();
    emit closed_now();
}
