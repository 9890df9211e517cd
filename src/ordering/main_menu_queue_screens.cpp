// The three screens that list the play queue page by page: ordering by
// number ("3"), deleting ("4") and inserting ("5").
#include "foundation/app_state.h"
#include "foundation/lookups.h"
#include "foundation/song_orders.h"
#include "ordering/main_menu.h"

namespace {
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
    set_list_key_captions();
    Menu_Statu = screen;
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    state_.current_page = 1;
    show_queue_page(1);
    Picture1.print(title);
}

void main_menu::show_queue_page(int page) {
    const PlayQueue& queue = state_.play_queue;
    show_band_page(
        page,
        [&queue](int slot) { return queue.number_at(slot).isEmpty() ? QString() : queue.display_at(slot); },
        QString());
}

void main_menu::repaint_queue_screen() {
    show_queue_page(state_.current_page);
    Picture1.print(queue_screen_title(Menu_Statu));
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
    const double row = entry_row();
    if (row > state_.lines_per_page) return;  // left as typed, for the guest to correct with "C"
    if (row <= 0) {
        Label1.setText(" 輸入錯誤!");
        key_entry.clear();
        return;
    }
    const bool deleting = Menu_Statu == "4";
    const int slot = slot_of_row(static_cast<int>(row));
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
