#include "panels/small_window.h"

#include "foundation/app_state.h"
#include "foundation/key_input.h"
#include "foundation/keypad_entry.h"
#include "foundation/lookups.h"
#include "foundation/song_orders.h"
#include "playback/hotkeys.h"
#include "playback/playback_session.h"

#include <QKeyEvent>

#include <cmath>
#include <exception>

namespace {
const QColor kDarkBlue(0, 0, 128);
const QColor kYellow(255, 255, 0);
}  // namespace

small_window::small_window(AppState& state, PlaybackSession& session, QWidget* parent, double width_share,
                           bool list_window)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), state_(state), session_(session) {
    lay_out(width_share, list_window);
    connect(&keypad, &on_screen_keypad::key_pressed, this, &small_window::Picture1_KeyPress);
    state_.clock.set_interval(tmrGetKey, 20);
    state_.clock.set_interval(Timer1, 100);
    connect(&tmrGetKey, &QTimer::timeout, this, &small_window::tmrGetKey_Timer);
    connect(&Timer1, &QTimer::timeout, this, &small_window::Timer1_Timer);
    tmrGetKey.start();
    Timer1.start();
}

// From the screen width: the keypad column is width_share of it, 1.4 times as
// high as wide, the entry label on top and the hint at the bottom, each 0.17
// of the height, and the keypad in five rows between them.
void small_window::lay_out(double width_share, bool list_window) {
    const int screen_width = state_.screen_size.width();
    const int column_width = qRound(width_share * screen_width);
    const int height = qRound(1.4 * column_width);
    const int label_height = qRound(0.17 * height);
    const double key_points = std::floor(screen_width * 0.0234375);

    QFont label_font("標楷體");
    label_font.setPointSizeF(key_points);
    for (QLabel* label : {&Label1, &Label_3}) {
        label->setParent(this);
        label->setFont(label_font);
        label->setAlignment(Qt::AlignCenter);
    }
    Label1.setGeometry(0, 0, column_width, label_height);
    Label_3.setGeometry(0, height - label_height, column_width, label_height);
    lay_out_keypad(column_width / 4, (height - 2 * label_height) / 5, label_height, key_points);

    Picture1.setParent(this);
    Picture1.setVisible(list_window);
    Picture1.setFocusPolicy(Qt::StrongFocus);
    // Without a text area the window itself takes the keys.
    if (!list_window) setFocusPolicy(Qt::StrongFocus);
    const int width = list_window ? 3 * column_width : column_width;
    if (list_window) {
        Picture1.setGeometry(column_width, 0, width - column_width, height);
        Picture1.set_back_color(kDarkBlue);
        Picture1.set_fore_color(kYellow);
        Picture1.set_font({"標楷體", std::floor(screen_width * 13.0 / 640), false});
    }
    resize(width, height);
}

// The keypad in keys of u x v below Label1, in the captions of the list
// windows: "C" takes a digit back.
void small_window::lay_out_keypad(int u, int v, int top, double points) {
    QFont font("細明體");
    font.setPointSizeF(points);
    keypad.lay_out(
        [u, v, top](const QRect& cell) {
            return QRect(cell.x() * u, top + cell.y() * v, cell.width() * u, cell.height() * v);
        },
        font);
    keypad.number_dot.setText("C");
}

void small_window::set_captions(const QString& minus, const QString& plus, const QString& hint) {
    keypad.number_de.setText(minus);
    keypad.number_in.setText(plus);
    Label_3.setText(hint);
    for (QPushButton* key : {&keypad.number_de, &keypad.number_in, &keypad.number_enter}) fit_caption(*key);
}

// Two characters at the keypad's size are wider than one key of a small
// window: such a caption takes the largest size that fits.
void small_window::fit_caption(QPushButton& key) {
    QFont font = key.font();
    const int room = key.width() - 4;
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(key.text()) > room)
        font.setPointSizeF(font.pointSizeF() - 1);
    key.setFont(font);
}

void small_window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    move(state_.settings.SmallScreenLeft / state_.twips_per_pixel,
         state_.settings.SmallScreenTop / state_.twips_per_pixel);
    take_focus();
    Form_Activate();
}

void small_window::keyPressEvent(QKeyEvent* event) {
    // Every key is the window's: none reaches the player, and Escape must
    // not close the window behind the guest's back.
    if (const auto code = key_code_of(*event)) Picture1_KeyPress(*code);
}

void small_window::Picture1_KeyPress(int KeyAscii) {
    const int key = translate_key(state_.settings, KeyAscii);
    // A catalogue that cannot be read must not end the song: the guest sees
    // the reason and the half-typed entry is dropped.
    try {
        if (play_hotkey(session_, key)) return;
        handle_key(key);
    } catch (const std::exception& error) {
        key_entry.clear();
        Label1.setText(QString::fromUtf8(error.what()));
    }
}

bool small_window::type_entry_key(int key) {
    if (!::type_entry_key(key_entry, key)) return false;
    Label1.setText(key_entry);
    return true;
}

int small_window::order_entry() {
    const QString number = key_entry;
    const int slot = order_song(number);
    if (slot >= 0) Label1.setText(get_song_name(state_, number.trimmed()));
    return slot;
}

int small_window::order_song(const QString& song_num) {
    const int slot = add_song_to_queue(state_, song_num);
    if (slot == 0) session_.start_head_if_idle();
    return slot;
}

void small_window::leave() {
    Timer1.stop();
    accept();
}

// Keeps the keys coming here while the video plays; a focus that cannot
// move is left as it is.
void small_window::Timer1_Timer() {
    if (!isVisible()) return;
    if (!isActiveWindow()) activateWindow();
    take_focus();
}

void small_window::take_focus() {
    if (Picture1.isVisibleTo(this))
        Picture1.setFocus();
    else
        setFocus();
}

void small_window::tmrGetKey_Timer() {
    if (!Timer1.isActive()) return;
    tmrGetKey.stop();
    if (const auto code = arrow_key_code(state_)) Picture1_KeyPress(*code);
    tmrGetKey.start();
}
