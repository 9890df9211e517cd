#pragma once

#include <QPushButton>

#include <cstddef>

// Makes a window's on-screen keypad deliver the codes of the physical keys,
// one code when a key goes down (not again on release), to the window's
// Picture1_KeyPress. The keys take no focus, so typed keys stay with the
// window's text area.
template <class Window>
void deliver_on_screen_key_codes(Window& window) {
    const auto deliver_on_press = [&window](QPushButton& key, int code) {
        key.setFocusPolicy(Qt::NoFocus);
        QObject::connect(&key, &QPushButton::pressed, &window,
                         [&window, code] { window.Picture1_KeyPress(code); });
    };
    for (std::size_t i = 0; i < 10; ++i) deliver_on_press(window.number_key[i], 48 + static_cast<int>(i));
    deliver_on_press(window.number_dot, 46);
    deliver_on_press(window.number_de, 45);
    deliver_on_press(window.number_in, 43);
    deliver_on_press(window.number_mul, 42);
    deliver_on_press(window.number_div, 47);
    deliver_on_press(window.number_enter, 13);
}
