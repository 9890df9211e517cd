#include "panels/small_control_main.h"

#include "foundation/app_state.h"
#include "foundation/key_input.h"
#include "mixer/mixer_menu.h"
#include "panels/small_inttersong.h"
#include "panels/small_order_by_singer.h"
#include "panels/small_ordersong.h"
#include "platform/desktop.h"
#include "playback/hotkeys.h"
#include "playback/playback_session.h"

#include <QApplication>
#include <QKeyEvent>

small_control_main::small_control_main(AppState& state, PlaybackSession& session, QWidget* screen)
    : QDialog(screen, Qt::Dialog | Qt::FramelessWindowHint), state_(state), session_(session) {
    lay_out();
    connect_buttons();
    connect(&session_, &PlaybackSession::paused_changed, this,
            [this](bool paused) { key_pause.setText(paused ? "6播放" : "6暫停"); });
    state_.clock.set_interval(Timer3, 100);
    connect(&Timer3, &QTimer::timeout, this, &small_control_main::Timer3_Timer);
}

// Half the screen wide at the configured corner; sizes in twips as designed
// (client area 3012 x 480, buttons overlapping by 15), scaled to that width.
void small_control_main::lay_out() {
    const int tpp = state_.twips_per_pixel;
    const double factor = 0.5 * state_.screen_size.width() * tpp / 3012.0;
    const auto place = [tpp, factor](QWidget& widget, int left, int top, int width, int height) {
        widget.setGeometry(qRound(left * factor / tpp), qRound(top * factor / tpp),
                           qRound(width * factor / tpp), qRound(height * factor / tpp));
    };
    place(*this, 0, 0, 3012, 480);
    move(state_.settings.SmallScreenLeft / tpp, state_.settings.SmallScreenTop / tpp);
    QFont font("標楷體");
    font.setPointSizeF(9 * factor);
    setFont(font);
    struct Button {
        QPushButton& key;
        const char* caption;
        int left;
        int top;
    };
    for (const Button& button :
         {Button{key_order, "1點歌", 0, 0}, Button{key_browe, "2已點", 600, 0},
          Button{key_done, "3歌手", 1200, 0}, Button{key_mixer, "4音效", 1800, 0},
          Button{key_next, "5卡歌", 0, 240}, Button{key_pause, "6暫停", 600, 240},
          Button{key_replay, "7重唱", 1200, 240}, Button{key_gomain, "8關閉", 1800, 240}}) {
        button.key.setParent(this);
        button.key.setText(QString::fromUtf8(button.caption));
        place(button.key, button.left, button.top, 615, 255);
    }
    key_exit.setParent(this);
    key_exit.setText("0沒事");
    place(key_exit, 2400, 0, 612, 495);
}

// A button acts once, when the mouse button goes down; the keys reach the
// panel itself, never a button.
void small_control_main::connect_buttons() {
    const auto on_press = [this](QPushButton& key, void (small_control_main::*action)()) {
        key.setFocusPolicy(Qt::NoFocus);
        connect(&key, &QPushButton::pressed, this, action);
    };
    on_press(key_order, &small_control_main::key_order_Click);
    on_press(key_browe, &small_control_main::key_browe_Click);
    on_press(key_done, &small_control_main::key_done_Click);
    on_press(key_mixer, &small_control_main::key_mixer_Click);
    on_press(key_next, &small_control_main::key_next_Click);
    on_press(key_pause, &small_control_main::key_pause_Click);
    on_press(key_replay, &small_control_main::key_replay_Click);
    on_press(key_gomain, &small_control_main::key_gomain_Click);
    on_press(key_exit, &small_control_main::key_exit_Click);
}

void open_small_control_main(AppState& state, PlaybackSession& session, QWidget* screen) {
    small_control_main panel(state, session, screen);
    panel.open();
}

void small_control_main::open() {
    Form_Load();
    do {
        come_back_ = false;
        exec();
    } while (come_back_ && loaded_ && !session_.closed());
}

void small_control_main::Form_Load() {
    move(state_.settings.SmallScreenLeft / state_.twips_per_pixel,
         state_.settings.SmallScreenTop / state_.twips_per_pixel);
    const QRect exit_key = key_exit.geometry();
    move_pointer(pos() + exit_key.topLeft() +
                 QPoint(qRound(0.8 * exit_key.width()), qRound(0.8 * exit_key.height())));
    key_pause.setText(session_.paused() ? "6播放" : "6暫停");
    loaded_ = true;
    Timer3.start();
}

void small_control_main::Form_Unload() {
    Timer3.stop();
    loaded_ = false;
}

void small_control_main::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

// The singing window takes no keys of its own while the panel is up.
void small_control_main::Timer3_Timer() {
    if (!isVisible()) return;
    if (!isActiveWindow()) activateWindow();
    setFocus();
}

// Losing the focus to another program closes the panel, unless it hid
// itself for one of its windows. When one of those windows closes, the
// window system may hand the focus to the player below, or to nobody, for a
// moment before the panel is back: that is no loss (Timer3 takes the focus
// back), so the panel looks again a little later. The look goes with the
// panel: each opening of the control panel is a panel of its own.
void small_control_main::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow()) return;
    QTimer::singleShot(state_.clock.real_ms(300), this, [this] {
        if (isVisible() && !hidden_for_window_ && QApplication::activeWindow() == nullptr) reject();
    });
}

void small_control_main::keyPressEvent(QKeyEvent* event) {
    // Every key goes to the key handler; Escape must not close the panel.
    if (const auto code = key_code_of(*event)) key_press(*code);
}

void small_control_main::key_press(int key) {
    const int translated = translate_key(state_.settings, key);
    if (play_hotkey(session_, translated)) return;
    switch (translated) {
        case '0':
            key_exit_Click();
            break;
        case '1':
            key_order_Click();
            break;
        case '2':
            key_browe_Click();
            break;
        case '3':
            key_done_Click();
            break;
        case '4':
            key_mixer_Click();
            break;
        case '5':
            key_next_Click();
            break;
        case '6':
            key_pause_Click();
            break;
        case '7':
            key_replay_Click();
            break;
        case '8':
            key_gomain_Click();
            break;
        default:
            break;  // "9", Enter and the other keys do nothing here
    }
}

void small_control_main::open_window(const std::function<void()>& show_modal) {
    Timer3.stop();
    hidden_for_window_ = true;
    hide();
    show_modal();
    hidden_for_window_ = false;
    if (loaded_ && !session_.closed()) {
        Timer3.start();
        come_back_ = true;
    }
}

void small_control_main::key_order_Click() {
    open_window([this] {
        small_ordersong window(state_, session_, parentWidget());
        window.exec();
    });
}

void small_control_main::key_browe_Click() {
    open_window([this] {
        small_inttersong window(state_, session_, parentWidget());
        window.exec();
    });
}

void small_control_main::key_done_Click() {
    open_window([this] {
        small_order_by_singer window(state_, session_, parentWidget());
        window.exec();
    });
}

void small_control_main::key_mixer_Click() {
    // The sound panel runs modally; open_window brings this panel back after it.
    open_window([this] {
        mixer_menu window(state_, session_, parentWidget());
        window.show_from_panel([] {});
    });
}

void small_control_main::key_next_Click() {
    session_.cut();
}

void small_control_main::key_pause_Click() {
    session_.toggle_pause();
}

void small_control_main::key_replay_Click() {
    session_.sing_again();
}

// Closing the session closes the player; the song it played stays at the
// head of the queue. The main menu destroys the player only once its modal
// loop has returned, after this handler and the panel's loop have ended.
void small_control_main::key_gomain_Click() {
    Timer3.stop();
    reject();
    session_.close();
}

void small_control_main::key_exit_Click() {
    if (parentWidget()) hide_pointer(*parentWidget());
    Timer3.stop();
    reject();
}
