#include "support/fake_media_player.h"

#include <QWidget>

FakeMediaPlayer::FakeMediaPlayer(QWidget* parent) : surface_(new QWidget(parent)) {
    watch_input(surface_);
}

FakeMediaPlayer::~FakeMediaPlayer() {
    delete surface_.data();
}

QWidget* FakeMediaPlayer::video_surface() const {
    return surface_;
}

void FakeMediaPlayer::set_url(const QString& url) {
    calls << "set_url";
    url_ = url;
    if (url.isEmpty())
        set_state(play_state::undefined);
    else if (auto_start())
        play();
    else
        set_state(play_state::ready);
}

void FakeMediaPlayer::play() {
    calls << "play";
    if (url_.isEmpty() || state_ == play_state::playing) return;
    if (state_ != play_state::paused) {
        played_urls << url_;
        position_ = 0;
    }
    set_state(play_state::playing);
}

void FakeMediaPlayer::pause() {
    calls << "pause";
    if (state_ == play_state::playing) set_state(play_state::paused);
}

void FakeMediaPlayer::stop() {
    calls << "stop";
    if (state_ == play_state::playing || state_ == play_state::paused) set_state(play_state::stopped);
}

void FakeMediaPlayer::close() {
    calls << "close";
    set_state(play_state::undefined);
}

void FakeMediaPlayer::seek(double seconds) {
    calls << "seek";
    if (state_ == play_state::playing || state_ == play_state::paused) position_ = seconds;
}

void FakeMediaPlayer::set_current_audio_stream(int index) {
    if (index < 1 || index > audio_stream_count() || index == current_stream_) return;
    current_stream_ = index;
    stream_choices.push_back(index);
}

void FakeMediaPlayer::apply_sound_filters() {
    static const char* const kSides[] = {"both", "left", "right"};
    const int shift = key_shift();
    sound_filters << QString("%1 %2%3")
                         .arg(kSides[static_cast<int>(stereo_side())])
                         .arg(shift > 0 ? "+" : "")
                         .arg(shift);
}

void FakeMediaPlayer::set_state(int state) {
    if (state == state_) return;
    state_ = state;
    emit play_state_changed(state);
}

void FakeMediaPlayer::finish_song() {
    set_state(play_state::stopped);
    emit end_of_stream();
}

void FakeMediaPlayer::fail_song(const QString& reason) {
    set_error_text(reason);
    set_state(play_state::ready);
    emit error_occurred();
}

void FakeMediaPlayer::set_stream_count(int count) {
    stream_count_ = count;
}

MediaPlayerFactory FakeMediaPlayers::factory() {
    return [this](QWidget* parent) -> std::unique_ptr<MediaPlayer> {
        auto player = std::make_unique<FakeMediaPlayer>(parent);
        made_.emplace_back(player.get());
        return player;
    };
}
