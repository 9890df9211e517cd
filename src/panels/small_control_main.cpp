#include "panels/small_control_main.h"

#include "foundation/app_state.h"
#include "foundation/key_input.h"
#include "platform/desktop.h"
#include "platform/media_player.h"
#include "playback/hotkeys.h"
#include "playback/player.h"

#include <QKeyEvent>

small_control_main::small_control_main(AppState& state, player& screen)
    : QDialog(&screen, Qt::Dialog | Qt::FramelessWindowHint), state_(state), screen_(screen) {
    lay_out();
    key_gomain.setText("8關閉");
    key_exit.setText("0沒事");
    for (QPushButton* key : {&key_gomain, &key_exit}) key->setFocusPolicy(Qt::NoFocus);
    connect(&key_gomain, &QPushButton::pressed, this, &small_control_main::key_gomain_Click);
    connect(&key_exit, &QPushButton::pressed, this, &small_control_main::key_exit_Click);
}

// Half the screen wide at the configured corner; sizes in twips as designed
// (client area 3012 x 480), scaled to that width.
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
    key_gomain.setParent(this);
    key_exit.setParent(this);
    place(key_gomain, 1800, 240, 615, 255);
    place(key_exit, 2400, 0, 612, 495);
}

void small_control_main::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    screen_.fOpenSmallControl = true;
}

void small_control_main::done(int result) {
    screen_.fOpenSmallControl = false;
    QDialog::done(result);
}

void small_control_main::keyPressEvent(QKeyEvent* event) {
    if (const auto code = key_code_of(*event)) key_press(*code);
}

void small_control_main::key_press(int key) {
    const int translated = translate_key(state_.settings, key);
    if (play_hotkey(state_, screen_, translated)) return;
    if (translated == '0')
        key_exit_Click();
    else if (translated == '8')
        key_gomain_Click();
}

void small_control_main::key_next_Click() {
    if (screen_.wmp1->play_state() == play_state::playing) screen_.play_next();
}

void small_control_main::key_pause_Click() {
    MediaPlayer& media = *screen_.wmp1;
    if (media.play_state() == play_state::playing)
        media.pause();
    else if (media.play_state() == play_state::paused)
        media.play();
}

void small_control_main::key_replay_Click() {
    if (screen_.wmp1->play_state() != play_state::playing) return;
    screen_.Timer2.stop();
    screen_.Timer1.stop();
    screen_.wmp1->stop();
    screen_.wmp1->close();
    screen_.Load_Background(1);
    state_.clock.wait_seconds(2);
    if (screen_.unloaded()) return;
    screen_.Load_Background(0);
    screen_.play_head();
    screen_.Timer2.start();
    screen_.Timer1.start();
}

void small_control_main::key_gomain_Click() {
    screen_.Timer3.stop();
    screen_.wmp1->stop();
    screen_.wmp1->close();
    state_.return_to_menu = true;
    reject();
    screen_.reject();
}

void small_control_main::key_exit_Click() {
    hide_pointer(screen_);
    reject();
}
