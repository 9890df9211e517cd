#include "ordering/keypad_menu.h"

#include "ordering/main_menu.h"

keypad_menu::keypad_menu(menu_context& context, std::function<bool(const QString& choice)> open_choice,
                         std::function<void()> show_phone_card)
    : menu_screen(context),
      open_choice_(std::move(open_choice)),
      show_phone_card_(std::move(show_phone_card)) {}

void keypad_menu::enter() {
    menu().Picture1.clear();
    print_lines({"   主目錄", "1.字數點歌", "2.歌星點歌", "3.曲目編號點歌", "4.刪除點歌", "5.插播",
                 "6.開始唱歌", "7.錄音檔", "8.多媒體", "0.關機"});
    show_phone_card_();
    key_entry().clear();
    menu().Label1.clear();
    menu().keypad.KeyValueReset();
}

void keypad_menu::key(int& KeyAscii) {
    // The operator keys count as well: they choose nothing and drop the entry.
    if (KeyAscii >= '*' && KeyAscii <= '9') set_key_entry(key_entry() + QChar(KeyAscii));
    if (!open_choice_(key_entry())) key_entry().clear();
}
