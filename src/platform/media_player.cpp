#include "platform/media_player.h"

#include "platform/key_codes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

// The area of a video surface (a widget, or the native window drawing into it).
QRect area_of(const QObject* surface) {
    if (const auto* widget = qobject_cast<const QWidget*>(surface)) return widget->rect();
    if (const auto* window = qobject_cast<const QWindow*>(surface))
        return QRect(QPoint(0, 0), window->size());
    return {};
}

}  // namespace

int audio_stream_of_channel(int audio_streams, int channel) {
    return audio_streams > 2 ? channel : 1;
}

StereoSide stereo_side_of_channel(int channel) {
    if (channel == 2) return StereoSide::left;
    if (channel == 3) return StereoSide::right;
    return StereoSide::both;
}

QString position_text(double seconds) {
    const long long total = seconds > 0 ? std::llround(std::floor(seconds)) : 0;
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long secs = total % 60;
    const auto two_digits = [](long long n) { return QString::number(n).rightJustified(2, '0'); };
    const QString minutes_seconds = two_digits(minutes) + ":" + two_digits(secs);
    return hours > 0 ? two_digits(hours) + ":" + minutes_seconds : minutes_seconds;
}

QString MediaPlayer::status_text() const {
    switch (play_state()) {
        case play_state::stopped:
            return "Stopped";
        case play_state::paused:
            return "Paused";
        case play_state::playing:
            return "Playing";
        case play_state::ready:
            return "Ready";
        default:
            return {};
    }
}

QString MediaPlayer::current_position_text() const {
    const int state = play_state();
    if (state != play_state::playing && state != play_state::paused) return {};
    return position_text(position_seconds());
}

void MediaPlayer::set_volume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    apply_volume(volume_);
}

void MediaPlayer::set_stereo_side(StereoSide side) {
    if (side == stereo_side_) return;
    stereo_side_ = side;
    apply_sound_filters();
}

void MediaPlayer::set_key_shift(int semitones) {
    semitones = std::clamp(semitones, -kMaxKeyShift, kMaxKeyShift);
    if (semitones == key_shift_) return;
    key_shift_ = semitones;
    apply_sound_filters();
}

void MediaPlayer::set_mode(const QString& mode, bool on) {
    if (mode.compare("autorewind", Qt::CaseInsensitive) == 0) {
        autorewind_ = on;
    } else if (mode.compare("loop", Qt::CaseInsensitive) == 0) {
        loop_ = on;
        apply_loop(on);
    }
}

bool MediaPlayer::mode(const QString& mode) const {
    if (mode.compare("autorewind", Qt::CaseInsensitive) == 0) return autorewind_;
    if (mode.compare("loop", Qt::CaseInsensitive) == 0) return loop_;
    return false;
}

void MediaPlayer::set_geometry(const QRect& geometry) {
    video_surface()->setGeometry(geometry);
}

QRect MediaPlayer::geometry() const {
    return video_surface()->geometry();
}

void MediaPlayer::set_visible(bool visible) {
    video_surface()->setVisible(visible);
}

bool MediaPlayer::is_visible() const {
    return !video_surface()->isHidden();
}

void MediaPlayer::watch_input(QObject* surface) {
    if (auto* widget = qobject_cast<QWidget*>(surface)) widget->setFocusPolicy(Qt::StrongFocus);
    surface->installEventFilter(this);
}

bool MediaPlayer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const std::optional<int> code = key_code_of(*static_cast<QKeyEvent*>(event));
        if (!code) return false;
        emit key_pressed(*code);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (area_of(watched).contains(mouse->position().toPoint())) emit clicked();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
