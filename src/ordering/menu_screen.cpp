#include "ordering/menu_screen.h"

#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "ordering/main_menu.h"
#include "platform/media_player.h"

#include <cmath>

namespace {
const QColor kGreen(0, 255, 0);
}  // namespace

void menu_context::set_key_entry(const QString& text, Echo echo) {
    key_entry = text;
    menu.Label1.setText(echo == Echo::with_line_break ? key_entry + "\n\r" : key_entry);
}

bool menu_context::type_entry_key(int KeyAscii, Echo echo) {
    QString entry = key_entry;
    if (!::type_entry_key(entry, KeyAscii)) return false;
    if (entry != key_entry) set_key_entry(entry, echo);
    return true;
}

MediaPlayer& menu_screen::wmpMain() const {
    return *menu().wmpMain;
}

void menu_screen::clear_screen() {
    menu().Label1.clear();
    key_entry().clear();
    menu().Picture1.clear();
}

void menu_screen::print_lines(std::initializer_list<const char*> lines) {
    for (const char* line : lines) menu().Picture1.print(QString::fromUtf8(line));
}

void band_list_screen::set_list_key_captions() {
    on_screen_keypad& keys = menu().keypad;
    keys.number_de.setText("上頁");
    keys.number_in.setText("下頁");
    keys.number_enter.setText("確定");
    keys.number_dot.setText("C");
}

void band_list_screen::show_band_page(int page, const std::function<QString(int slot)>& row_text,
                                      const QString& footer) {
    PictureBox& Picture1 = menu().Picture1;
    const double h = Picture1.scale_height();
    const double w = Picture1.scale_width();
    const int n = state().lines_per_page;
    const double band = h / (n + 2);
    Picture1.clear();
    for (int i = 1; i <= n; ++i) {
        const double y = i * band + 1;
        Picture1.fill_box({0, y}, {w, y + 10}, kGreen);
        Picture1.move_to(0, y - 0.75 * band);
        const QString row = QString::number(i) + ".";
        const QString text = row_text((page - 1) * n + i - 1);
        Picture1.print(text.isEmpty() ? row : row + "   " + text);
    }
    Picture1.move_to(0, (n + 1) * band + 1 - 0.8 * band);
    Picture1.print("     第 " + QString::number(page) + " 頁" + footer);
}

double band_list_screen::entry_row() const {
    return std::floor(key_entry().toDouble());
}

int band_list_screen::slot_of_row(int row) const {
    return (state().current_page - 1) * state().lines_per_page + row - 1;
}

void band_list_screen::stop_and_close() {
    if (wmpMain().play_state() == play_state::playing) wmpMain().stop();
    wmpMain().close();
}
