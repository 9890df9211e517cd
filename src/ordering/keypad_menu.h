#pragma once

#include "ordering/menu_screen.h"

// The main menu itself ("0"): ten choices, one key each, chosen without
// Enter.
class keypad_menu : public menu_screen {
public:
    // `open_choice` opens what the choice key names; whether it named
    // something. `show_phone_card` adds the phones' card to the menu.
    keypad_menu(menu_context& context, std::function<bool(const QString& choice)> open_choice,
                std::function<void()> show_phone_card);

    QString name() const override { return "0"; }
    // show_main_menu
    void enter() override;
    // show_main_menu_do
    void key(int& KeyAscii) override;

private:
    std::function<bool(const QString& choice)> open_choice_;
    std::function<void()> show_phone_card_;
};
