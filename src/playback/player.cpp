#include "playback/player.h"

#include "foundation/app_state.h"
#include "foundation/key_input.h"
#include "foundation/keypad_entry.h"
#include "platform/desktop.h"
#include "platform/log.h"
#include "platform/media_player.h"
#include "playback/hotkeys.h"
#include "widgets/start_form.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <exception>
#include <utility>

player::player(AppState& state, QWidget* parent, ControlPanelOpener open_control_panel)
    : QDialog(parent),
      state_(state),
      session_(state, state.platform.make_media_player(this)),
      open_control_panel_(std::move(open_control_panel)) {
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

// The video area was made first (with the session), so that the picture
// and the labels lie above it.
void player::Form_Load() {
    wmp1 = &session_.media();
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
    connect(wmp1, &MediaPlayer::key_pressed, this, &player::wmp1_KeyPressEvent);
    connect(wmp1, &MediaPlayer::clicked, this, &player::wmp1_ClickEvent);
    connect(wmp1, &MediaPlayer::play_state_changed, this, &player::wmp1_PlayStateChange);
    connect_session();
    key_panel_open = false;
    connect_timers();
}

void player::connect_session() {
    connect(&session_, &PlaybackSession::background_changed, this,
            [this](bool shown) { Load_Background(shown ? 1 : 0); });
    connect(&session_, &PlaybackSession::status_message, this,
            [this](const QString& text) { show_player_message(*this, text, 3); });
    connect(&session_, &PlaybackSession::watched, this, &player::keep_focus);
    connect(&session_, &PlaybackSession::closed_now, this, [this] {
        if (!unloaded_) reject();
    });
}

void player::connect_timers() {
    state_.clock.set_interval(Timer3, 100);
    state_.clock.set_interval(tmrGetKey, 20);
    state_.clock.set_interval(tmrMSG, 1000);
    connect(&tmrGetKey, &QTimer::timeout, this, &player::tmrGetKey_Timer);
    connect(&tmrMSG, &QTimer::timeout, this, &player::tmrMSG_Timer);
    for (QTimer* timer : {&tmrGetKey, &tmrMSG}) timer->start();
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
    session_.start_after_pause();
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

namespace {

// Large Kai text with a shadow, at the left below the screen's middle and
// above the line that names the next song when phones order.
void paint_score(QPainter& painter, const QRect& screen, int score) {
    QFont font("標楷體");
    font.setPixelSize(screen.height() / 6);
    painter.setFont(font);
    const int margin = screen.height() / 40;
    const QRect line(margin, screen.height() * 3 / 5, screen.width() - 2 * margin, screen.height() / 4);
    const QString text = "得分 " + QString::number(score);
    const int shadow = std::max(2, screen.height() / 200);
    painter.setPen(Qt::black);
    painter.drawText(line.translated(shadow, shadow), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.setPen(QColor(255, 200, 40));
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, text);
}

}  // namespace

void player::Load_Background(int mode) {
    const QRect screen(QPoint(0, 0), state_.screen_size);
    if (mode == 1) {
        Image1.setGeometry(screen);
        Image1.show();
        // Also when nothing is painted over it: the last picture may hold a score.
        repaint_background();
        wmp1->set_geometry(QRect(0, 0, 1, 1));
    } else {
        Image1.hide();
        Image1.setGeometry(0, 0, 1, 1);
        wmp1->set_geometry(screen);
    }
}

void player::set_background_overlay(std::function<void(QPainter&, const QRect&)> paint) {
    background_overlay_ = std::move(paint);
    repaint_background();
}

void player::repaint_background() {
    // Behind the video nobody sees it; showing the background paints it.
    if (Image1.isHidden()) return;
    const std::optional<int> score = session_.shown_score();
    if (!background_overlay_ && !score) {
        Image1.setPixmap(background_picture());
        return;
    }
    const QRect screen(QPoint(0, 0), state_.screen_size);
    QPixmap picture(screen.size());
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, background_picture());
    if (score) paint_score(painter, screen, *score);
    if (background_overlay_) background_overlay_(painter, screen);
    painter.end();
    Image1.setPixmap(picture);
}

void player::Player_OneSong() {
    session_.start_head_if_idle();
}

bool player::play_next() {
    return session_.advance();
}

// The window's part of the watch (Timer2): while the panel or one of its
// windows is up, the focus stays there.
void player::keep_focus() {
    if (key_panel_open || fOpenSmallControl) return;
    wmp1->video_surface()->setFocus();
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
    if (unloaded_ || play_hotkey(session_, key_code)) return;
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

// While the panel is up, a key on the video (say during a pause between
// songs that runs inside the panel's modal loop) opens no second one.
void player::show_control_panel() {
    if (fOpenSmallControl || !open_control_panel_) return;
    fOpenSmallControl = true;
    // The panel must not end the evening: what goes wrong in it is logged
    // and playback goes on.
    try {
        open_control_panel_(*this);
    } catch (const std::exception& error) {
        qCWarning(lcPlayback).noquote() << "small control panel failed:" << error.what();
    }
    fOpenSmallControl = false;
}

// Arrow presses made while the player did not poll (the panel had the keys)
// are forgotten, so that they do not act on the player afterwards.
void player::resume_arrow_polling() {
    read_pressed_key(state_);
    Timer3.start();
}

void player::tmrGetKey_Timer() {
    if (!Timer3.isActive() || !session_.watching()) return;
    tmrGetKey.stop();
    if (const auto code = arrow_key_code(state_)) wmp1_KeyPressEvent(*code);
    if (!unloaded_) tmrGetKey.start();
}

void player::tmrMSG_Timer() {
    count_down_player_message(*this);
}

// The session ends a take on the same event; the message stays above the video.
void player::wmp1_PlayStateChange(int /*new_state*/) {
    raise_message_labels();
}

void player::done(int result) {
    if (!unloaded_) Form_Unload();
    QDialog::done(result);
}

// The song playing stays at the head of the queue; a take that is running
// is dropped (the session does both).
void player::Form_Unload() {
    unloaded_ = true;
    for (QTimer* timer : {&Timer3, &tmrGetKey, &tmrMSG}) timer->stop();
    session_.close();
}

void show_player_message(player& screen, const QString& text, int seconds) {
    screen.labMsg.setText(text);
    screen.labMSGBack.setText(screen.labMsg.text());
    screen.labMsg.show();
    screen.labMSGBack.show();
    screen.labMSGBack.raise();
    screen.labMsg.raise();
    screen.iCountDownMSG = seconds;
}

void count_down_player_message(player& screen) {
    screen.labMsg.raise();
    const int seconds_left = screen.iCountDownMSG;
    screen.iCountDownMSG = std::max(seconds_left - 1, 0);
    const bool visible = seconds_left > 1;
    screen.labMsg.setVisible(visible);
    screen.labMSGBack.setVisible(visible);
}
