// What every screen that lists rows page by page shares: the queue
// screens, the recordings list and the media folders.
#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "ordering/main_menu.h"

#include <cmath>

namespace {
const QColor kGreen(0, 255, 0);
constexpr int kLastPage = 500;
}  // namespace

void main_menu::set_list_key_captions() {
    number_de.setText("上頁");
    number_in.setText("下頁");
    number_enter.setText("確定");
    number_dot.setText("C");
}

// Eight numbered rows between green rules and the page number below them;
// row_text gives what follows a row's number (nothing when empty) and
// footer what follows the page number.
void main_menu::show_band_page(int page, const std::function<QString(int slot)>& row_text,
                               const QString& footer) {
    const double h = Picture1.scale_height();
    const double w = Picture1.scale_width();
    const int n = state_.lines_per_page;
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

// Digits build the entry and "." takes its last character back.
// Returns whether the key was one of them.
// An entry that did not change ("." on an empty one) is not echoed again.
bool main_menu::type_entry_key(int KeyAscii, Echo echo) {
    QString entry = key_entry;
    if (!::type_entry_key(entry, KeyAscii)) return false;
    if (entry != key_entry) set_key_entry(entry, echo);
    return true;
}

// "-" and "+" turn the page within 1..500; returns whether it turned.
bool main_menu::turn_page(int KeyAscii) {
    if (KeyAscii == '-' && state_.current_page > 1) {
        --state_.current_page;
        return true;
    }
    if (KeyAscii == '+' && state_.current_page < kLastPage) {
        ++state_.current_page;
        return true;
    }
    return false;
}

// The row number typed, as a whole number.
double main_menu::entry_row() const {
    return std::floor(key_entry.toDouble());
}

// The list position of a row of the page on screen.
int main_menu::slot_of_row(int row) const {
    return (state_.current_page - 1) * state_.lines_per_page + row - 1;
}
