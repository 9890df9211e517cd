#include "widgets/on_screen_keypad.h"

#include <vector>

on_screen_keypad::on_screen_keypad(QWidget* parent) : QWidget(parent) {
    for (int i = 0; i < 10; ++i) deliver_on_press(number_key[size_t(i)], '0' + i);
    deliver_on_press(number_dot, '.');
    deliver_on_press(number_de, '-');
    deliver_on_press(number_in, '+');
    deliver_on_press(number_mul, '*');
    deliver_on_press(number_div, '/');
    deliver_on_press(number_enter, 13);
    KeyValueReset();
}

void on_screen_keypad::deliver_on_press(QPushButton& key, int code) {
    key.setParent(this);
    key.setFocusPolicy(Qt::NoFocus);
    connect(&key, &QPushButton::pressed, this, [this, code] { emit key_pressed(code); });
}

void on_screen_keypad::lay_out(const place_cell& place, const QFont& font) {
    struct Cell {
        QPushButton* key;
        QRect cell;
    };
    std::vector<Cell> cells{{&number_div, {1, 0, 1, 1}},   {&number_mul, {2, 0, 1, 1}},
                            {&number_de, {3, 0, 1, 1}},    {&number_in, {3, 1, 1, 2}},
                            {&number_enter, {3, 3, 1, 2}}, {&number_key[0], {0, 4, 2, 1}},
                            {&number_dot, {2, 4, 1, 1}}};
    for (int i = 1; i <= 9; ++i)
        cells.push_back({&number_key[size_t(i)], {(i - 1) % 3, 3 - (i - 1) / 3, 1, 1}});

    QRect covered;
    for (const Cell& cell : cells) covered |= place(cell.cell);
    setGeometry(covered);
    for (const Cell& cell : cells) {
        cell.key->setGeometry(place(cell.cell).translated(-covered.topLeft()));
        cell.key->setFont(font);
    }
}

void on_screen_keypad::KeyValueReset() {
    number_de.setText("-");
    number_in.setText("+");
    number_enter.setText("確定");
    number_dot.setText(".");
    number_mul.setText("*");
    number_div.setText("/");
    for (int i = 0; i < 10; ++i) number_key[size_t(i)].setText(QString::number(i));
}
