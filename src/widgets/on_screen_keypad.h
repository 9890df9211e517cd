#pragma once

#include <QFont>
#include <QPushButton>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>

// The on-screen copy of the guests' keypad: the ten digits, ".", "-", "+",
// "*", "/" and Enter ("確定"). A key delivers its key code once, when it
// goes down (not again on release). The keys take no focus, so typed keys
// stay with the window's text area.
//
// The arrangement, in keys: "/", "*", "-" in the top row from the second
// column, "+" and Enter two rows high in the fourth column, the digits
// 7-8-9, 4-5-6, 1-2-3 below, then "0" two keys wide and ".".
class on_screen_keypad : public QWidget {
    Q_OBJECT
public:
    explicit on_screen_keypad(QWidget* parent);

    std::array<QPushButton, 10> number_key;
    QPushButton number_dot;
    QPushButton number_de;
    QPushButton number_in;
    QPushButton number_mul;
    QPushButton number_div;
    QPushButton number_enter;

    // Where the window puts a key, in its own coordinates, from the key's
    // cell in the arrangement (column, row, width and height in keys).
    using place_cell = std::function<QRect(const QRect& cell)>;
    // Places every key where `place` says and gives it `font`; the keypad
    // covers the keys and nothing more.
    void lay_out(const place_cell& place, const QFont& font);

    // The captions of the physical keys: the digits, ".", "-", "+", "*",
    // "/" and "確定". List screens change some of them.
    void KeyValueReset();

signals:
    void key_pressed(int KeyAscii);

private:
    void deliver_on_press(QPushButton& key, int code);
};
