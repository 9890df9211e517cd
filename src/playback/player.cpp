#include "playback/player.h"

#include "foundation/app_state.h"
#include "foundation/lookups.h"
#include "foundation/start_form.h"
#include "mixer/mixer_menu.h"
#include "mixer/voice_recording.h"
#include "panels/small_control_main.h"
#include "platform/desktop.h"
#include "platform/log.h"
#include "platform/media_player.h"
#include "platform/wave_capture.h"
#include "playback/hotkeys.h"

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>

#include <exception>

void select_audio_track(MediaPlayer& media, int channel) {
    if (media.audio_stream_count() > 2) media.set_current_audio_stream(channel);
}

player::player(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowFlag(Qt::FramelessWindowHint);
    // Without a window manager only an explicit geometry fills the screen.
    setGeometry(QRect(QPoint(0, 0), state_.screen_size));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    Form_Load();
}

player::~player() {
    if (!unloaded_) Form_Unload();
}

void player::Form_Load() {
    // The video area first, so that the picture and the labels lie above it.
    wmp1 = state_.platform.make_media_player(this);
    Image1.setParent(this);
    Image1.setPixmap(background_picture());
    Image1.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1.installEventFilter(this);
    labMSGBack.setParent(this);
    labMsg.setParent(this);
    labMSGBack.hide();
    labMsg.hide();
    wmp1->show_over_video(&labMSGBack);
    wmp1->show_over_video(&labMsg);

    Load_Background(1);
    wmp1->set_auto_start(false);
    wmp1->set_mode("autorewind", false);
    wmp1->set_mode("loop", false);
    wmp1->set_volume(50);
    connect(wmp1.get(), &MediaPlayer::key_pressed, this, &player::wmp1_KeyPressEvent);
    connect(wmp1.get(), &MediaPlayer::clicked, this, &player::wmp1_ClickEvent);
    connect(wmp1.get(), &MediaPlayer::play_state_changed, this, &player::wmp1_PlayStateChange);
    connect(wmp1.get(), &MediaPlayer::end_of_stream, this, &player::song_ended);
    connect(wmp1.get(), &MediaPlayer::error_occurred, this, &player::song_failed);

    state_.sound_channel = 2;
    state_.is_recording = false;
    key_panel_open = false;
    fOpenSmallControl = false;
    connect_timers();
}

void player::connect_timers() {
    state_.clock.set_interval(Timer1, 5000);
    state_.clock.set_interval(Timer2, 100);
    state_.clock.set_interval(Timer3, 100);
    state_.clock.set_interval(tmrGetKey, 20);
    state_.clock.set_interval(tmrMSG, 1000);
    connect(&Timer1, &QTimer::timeout, this, &player::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &player::Timer2_Timer);
    connect(&tmrGetKey, &QTimer::timeout, this, &player::tmrGetKey_Timer);
    connect(&tmrMSG, &QTimer::timeout, this, &player::tmrMSG_Timer);
    for (QTimer* timer : {&Timer1, &Timer2, &tmrGetKey, &tmrMSG}) timer->start();
}

void player::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Runs once exec() has entered its event loop, not inside show().
    if (first_activation) QTimer::singleShot(0, this, &player::Form_Activate);
}

void player::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) state_.insert_window_open = false;
}

void player::Form_Activate() {
    state_.insert_window_open = false;
    if (!first_activation || unloaded_) return;
    first_activation = false;
    // The labels first: a hotkey pressed during the pause shows its message.
    place_message_labels();
    hide_pointer(*this);
    if (!state_.play_queue.empty() && pause_between_songs()) {
        Load_Background(0);
        play_head();
    }
}

// A quarter of the screen wide in the top-right corner, the shadow offset
// down and to the right by a hundredth of the label's width.
void player::place_message_labels() {
    const int W = width();
    const int H = height();
    const int label_width = qRound(0.25 * W);
    const int label_height = qRound(0.08 * H);
    QFont font("新細明體");
    font.setBold(true);
    font.setPointSizeF(W * state_.twips_per_pixel / 12.0 * 0.02675);
    labMsg.setGeometry(W - label_width, qRound(0.01 * H), label_width, label_height);
    const int offset = qRound(0.01 * label_width);
    labMSGBack.setGeometry(labMsg.geometry().translated(offset, offset));
    for (QLabel* label : {&labMsg, &labMSGBack}) {
        label->setFont(font);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Keeps the last character off the screen's edge.
        label->setContentsMargins(0, 0, 2 * offset, 0);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    const auto set_text_colour = [](QLabel& label, const QColor& colour) {
        QPalette text_palette = label.palette();
        text_palette.setColor(QPalette::WindowText, colour);
        label.setPalette(text_palette);
    };
    set_text_colour(labMsg, Qt::white);
    set_text_colour(labMSGBack, Qt::black);
    raise_message_labels();
}

void player::raise_message_labels() {
    labMSGBack.raise();
    labMsg.raise();
}

void player::Load_Background(int mode) {
    const QRect screen(QPoint(0, 0), state_.screen_size);
    if (mode == 1) {
        Image1.setGeometry(screen);
        Image1.show();
        wmp1->set_geometry(QRect(0, 0, 1, 1));
    } else {
        Image1.hide();
        Image1.setGeometry(0, 0, 1, 1);
        wmp1->set_geometry(screen);
    }
}

void player::play_head() {
    QString url = "file://";
    try {
        url += get_song_location(state_, state_.play_queue.number_at(0));
    } catch (const std::exception& error) {
        // Without the catalogue the song cannot be found: it fails to open and
        // is skipped like a broken file, and the guest sees why.
        show_player_message(*this, QString::fromUtf8(error.what()), 3);
    }
    wmp1->set_url(url);
    wmp1->play();
}

// The three seconds of background before a song starts. False when the
// window was closed meanwhile: nothing may start then.
bool player::pause_between_songs() {
    between_songs_ = true;
    state_.clock.wait_seconds(3);
    between_songs_ = false;
    return !unloaded_;
}

void player::Timer1_Timer() {
    Player_OneSong();
}

void player::Player_OneSong() {
    if (between_songs_ || unloaded_) return;
    const int state = wmp1->play_state();
    if ((state != play_state::undefined && state != play_state::ready) || state_.play_queue.empty()) return;
    Timer2.stop();
    Load_Background(0);
    play_head();
    Timer2.start();
}

void player::Timer2_Timer() {
    const int state = wmp1->play_state();
    if (state == play_state::stopped || state == play_state::ready) play_next();
    if (unloaded_) return;
    if (wmp1->play_state() == play_state::playing) select_audio_track(*wmp1, state_.sound_channel);
    // While the panel or one of its windows is up, the focus stays there.
    if (key_panel_open || fOpenSmallControl) return;
    if (state_.return_to_menu) {
        Timer2.stop();
        reject();
    } else {
        wmp1->video_surface()->setFocus();
    }
}

// The end-of-stream and error events of the media player. Events of a song
// that is no longer the one playing (the next one has started, or the queue
// is already advancing) are dropped, so that a song advances the queue once.
void player::song_ended() {
    if (song_is_over()) play_next();
}

// A song the engine cannot play is skipped like one that ended; the log
// keeps which file it was and why.
void player::song_failed() {
    if (!song_is_over() || between_songs_ || unloaded_) return;
    qCWarning(lcPlayback).noquote() << "skipped song" << state_.play_queue.number_at(0)
                                    << QString(wmp1->url()).remove(0, QString("file://").size()) << ":"
                                    << wmp1->error_text();
    play_next();
}

bool player::song_is_over() const {
    const int state = wmp1->play_state();
    return state != play_state::playing && state != play_state::paused;
}

bool player::play_next() {
    if (between_songs_ || unloaded_) return false;
    Timer2.stop();
    Timer1.stop();
    wmp1->stop();
    Load_Background(1);
    state_.play_queue.remove_head();
    emit head_removed();
    bool started = false;
    if (state_.play_queue.empty()) {
        wmp1->close();
    } else {
        if (!pause_between_songs()) return false;
        Load_Background(0);
        play_head();
        started = true;
    }
    Timer2.start();
    Timer1.start();
    return started;
}

void player::keyPressEvent(QKeyEvent* event) {
    // Every key goes to the key handler; Escape must not close the window.
    if (const auto code = key_code_of(*event)) wmp1_KeyPressEvent(*code);
}

bool player::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &Image1 && event->type() == QEvent::MouseButtonRelease) {
        wmp1_KeyPressEvent(0);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void player::wmp1_KeyPressEvent(int key_code) {
    if (unloaded_ || play_hotkey(state_, *this, key_code)) return;
    Timer3.stop();
    key_panel_open = true;
    show_control_panel();
    if (unloaded_) return;
    resume_arrow_polling();
    key_panel_open = false;
}

void player::wmp1_ClickEvent() {
    if (unloaded_) return;
    Timer3.stop();
    show_control_panel();
    if (!unloaded_) resume_arrow_polling();
}

void player::show_control_panel() {
    if (fOpenSmallControl) return;
    // The panel must not end the evening: what goes wrong in it is dropped.
    try {
        control_panel().open();
    } catch (const std::exception&) {
    }
}

small_control_main& player::control_panel() {
    if (!control_panel_) control_panel_ = std::make_unique<small_control_main>(state_, *this);
    return *control_panel_;
}

mixer_menu& player::mixer_panel() {
    if (!mixer_panel_) mixer_panel_ = std::make_unique<mixer_menu>(state_, *this);
    return *mixer_panel_;
}

// Arrow presses made while the player did not poll (the panel had the keys)
// are forgotten, so that they do not act on the player afterwards.
void player::resume_arrow_polling() {
    read_pressed_key(state_);
    Timer3.start();
}

void player::tmrGetKey_Timer() {
    if (!Timer3.isActive() || !Timer2.isActive()) return;
    tmrGetKey.stop();
    const QString name = read_pressed_key(state_);
    if (name == "Up Arrow")
        wmp1_KeyPressEvent(state_.settings.keyMinus.toInt());
    else if (name == "Down Arrow")
        wmp1_KeyPressEvent(state_.settings.keyPlus.toInt());
    if (!unloaded_) tmrGetKey.start();
}

void player::tmrMSG_Timer() {
    count_down_player_message(*this);
}

// The song stopped during a recording: the take is complete and is kept
// under record_file.
void player::wmp1_PlayStateChange(int new_state) {
    if (state_.is_recording && new_state != play_state::playing) {
        end_recording_take(state_);
        if (mixer_panel_) mixer_panel_->cmdRecord.setText(kRecordIdleCaption);
    }
    raise_message_labels();
}

void player::done(int result) {
    if (!unloaded_) Form_Unload();
    QDialog::done(result);
}

// The song playing stays at the head of the queue. A take that is running
// is dropped: the song did not end.
void player::Form_Unload() {
    unloaded_ = true;
    if (state_.is_recording) {
        state_.is_recording = false;
        if (state_.platform.capture) state_.platform.capture->send(kCaptureStop);
    }
    for (QTimer* timer : {&Timer1, &Timer2, &Timer3, &tmrGetKey, &tmrMSG}) timer->stop();
    wmp1->stop();
    wmp1->close();
}
