// The three screens that list the play queue page by page: ordering by
// number ("3"), deleting ("4") and inserting ("5").
#include "foundation/app_state.h"
#include "foundation/lookups.h"
#include "foundation/song_orders.h"
#include "ordering/main_menu.h"

#include <cmath>

namespace {
const QColor kGreen(0, 255, 0);
constexpr int kLastPage = 500;

QString queue_screen_title(const QString& screen) {
    if (screen == "3") return "曲目點歌 選 \"0\" 可回主目錄";
    if (screen == "4") return "刪除點歌 選 \"0\" 可回主目錄";
    return "插歌功能 選 \"0\" 可回主目錄";
}
}  // namespace

void main_menu::order_by_song_num(int&) {
    enter_queue_screen("3", queue_screen_title("3") + " ");
}

void main_menu::delete_song(int&) {
    enter_queue_screen("4", queue_screen_title("4"));
}

void main_menu::intter_song(int&) {
    enter_queue_screen("5", queue_screen_title("5"));
}

void main_menu::enter_queue_screen(const QString& screen, const QString& title) {
    number_de.setText("上頁");
    number_in.setText("下頁");
    number_enter.setText("確定");
    number_dot.setText("C");
    Menu_Statu = screen;
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    state_.current_page = 1;
    show_queue_page(1);
    Picture1.print(title);
}

void main_menu::show_queue_page(int page) {
    const double h = Picture1.scale_height();
    const double w = Picture1.scale_width();
    const int n = state_.lines_per_page;
    const double band = h / (n + 2);
    Picture1.clear();
    for (int i = 1; i <= n; ++i) {
        const double y = i * band + 1;
        Picture1.fill_box({0, y}, {w, y + 10}, kGreen);
        Picture1.move_to(0, y - 0.75 * band);
        const int slot = (page - 1) * n + i - 1;
        const QString row = QString::number(i) + ".";
        const QString number = state_.play_queue.number_at(slot);
        Picture1.print(number.isEmpty() ? row : row + "   " + state_.play_queue.display_at(slot));
    }
    Picture1.move_to(0, (n + 1) * band + 1 - 0.8 * band);
    Picture1.print("     第 " + QString::number(page) + " 頁");
}

void main_menu::repaint_queue_screen() {
    show_queue_page(state_.current_page);
    Picture1.print(queue_screen_title(Menu_Statu));
}

// Digits build the entry and "." takes its last character back.
// Returns whether the key was one of them.
bool main_menu::type_entry_key(int KeyAscii, Echo echo) {
    if (KeyAscii >= '0' && KeyAscii <= '9') {
        set_key_entry(key_entry + QChar(KeyAscii), echo);
        return true;
    }
    if (KeyAscii == '.') {
        if (!key_entry.isEmpty()) set_key_entry(key_entry.chopped(1), echo);
        return true;
    }
    return false;
}

// "-" and "+" step current_page back and forth between the first and the
// last page of every list on this window. Returns whether it moved; the
// caller prints the new page.
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

void main_menu::page_queue_screen(int KeyAscii) {
    if (turn_page(KeyAscii)) repaint_queue_screen();
}

void main_menu::order_by_song_num_do(int& KeyAscii) {
    type_entry_key(KeyAscii);
    if (KeyAscii == 13) {
        if (key_entry == "0") {
            show_main_menu();
            return;
        }
        const QString number = key_entry;
        const int slot = add_song_to_queue(state_, number);
        if (slot < 0) {
            Label1.setText("沒這種歌!");
        } else {
            const int k = slot + 1;
            const int n = state_.lines_per_page;
            state_.current_page = k % n == 0 ? k / n : k / n + 1;
            repaint_queue_screen();
            Label1.setText(get_song_name(state_, number));
        }
        key_entry.clear();
    }
    page_queue_screen(KeyAscii);
}

void main_menu::delete_song_do(int& KeyAscii) {
    type_entry_key(KeyAscii);
    if (KeyAscii == 13) {
        if (key_entry == "0") {
            show_main_menu();
            return;
        }
        delete_or_insert_row();
    }
    page_queue_screen(KeyAscii);
}

void main_menu::intter_song_do(int& KeyAscii) {
    delete_song_do(KeyAscii);
}

// Enter on the deleting and inserting screens: the entry names a row of the
// page on screen.
void main_menu::delete_or_insert_row() {
    if (key_entry.isEmpty()) return;
    const int n = state_.lines_per_page;
    const double row = std::floor(key_entry.toDouble());
    if (row > n) return;  // left as typed, for the guest to correct with "C"
    if (row <= 0) {
        Label1.setText(" 輸入錯誤!");
        key_entry.clear();
        return;
    }
    const bool deleting = Menu_Statu == "4";
    const int slot = (state_.current_page - 1) * n + static_cast<int>(row) - 1;
    PlayQueue& queue = state_.play_queue;
    if (queue.number_at(slot).isEmpty()) {
        Label1.setText(deleting ? "沒歌可刪!" : "沒歌可插!");
        key_entry.clear();
        return;
    }
    const QString name = get_song_name(state_, queue.number_at(slot));
    if (deleting) {
        Label1.setText("刪了:" + name);
        queue.delete_at(slot);
    } else {
        queue.move_forward(slot, 0, name + "--插播");
        Label1.clear();
    }
    repaint_queue_screen();
    key_entry.clear();
}
