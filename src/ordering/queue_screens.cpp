#include "ordering/queue_screens.h"

#include "foundation/app_state.h"
#include "foundation/lookups.h"
#include "foundation/song_orders.h"
#include "ordering/main_menu.h"
#include "widgets/list_pages.h"

namespace {
constexpr int kEnter = 13;
}  // namespace

queue_screen::queue_screen(menu_context& context, QString name, QString title, QString entry_title)
    : band_list_screen(context),
      name_(std::move(name)),
      title_(std::move(title)),
      entry_title_(entry_title.isEmpty() ? title_ : std::move(entry_title)) {}

void queue_screen::enter() {
    set_list_key_captions();
    clear_screen();
    state().current_page = 1;
    show_queue_page(1);
    menu().Picture1.print(entry_title_);
}

void queue_screen::show_queue_page(int page) {
    const PlayQueue& queue = state().play_queue;
    show_band_page(
        page,
        [&queue](int slot) { return queue.number_at(slot).isEmpty() ? QString() : queue.display_at(slot); },
        QString());
}

void queue_screen::repaint() {
    show_queue_page(state().current_page);
    menu().Picture1.print(title_);
}

bool queue_screen::leave_on_zero() {
    if (key_entry() != "0") return false;
    menu().show_main_menu();
    return true;
}

void queue_screen::page(int KeyAscii) {
    if (turn_page(state(), KeyAscii)) repaint();
}

namespace {
const QString kNumberTitle = "曲目點歌 選 \"0\" 可回主目錄";
}  // namespace

order_by_song_num::order_by_song_num(menu_context& context)
    : queue_screen(context, "3", kNumberTitle, kNumberTitle + " ") {}

void order_by_song_num::key(int& KeyAscii) {
    type_entry_key(KeyAscii);
    if (KeyAscii == kEnter) {
        if (leave_on_zero()) return;
        const QString number = key_entry();
        const int slot = add_song_to_queue(state(), number);
        if (slot < 0) {
            menu().Label1.setText("沒這種歌!");
        } else {
            // The page that shows the song.
            const int k = slot + 1;
            const int n = state().lines_per_page;
            state().current_page = k % n == 0 ? k / n : k / n + 1;
            repaint();
            menu().Label1.setText(get_song_name(state(), number));
        }
        key_entry().clear();
    }
    page(KeyAscii);
}

void queue_row_screen::key(int& KeyAscii) {
    type_entry_key(KeyAscii);
    if (KeyAscii == kEnter) {
        if (leave_on_zero()) return;
        choose_row();
    }
    page(KeyAscii);
}

void queue_row_screen::choose_row() {
    if (key_entry().isEmpty()) return;
    const double row = entry_row();
    if (row > state().lines_per_page) return;  // left as typed, for the guest to correct with "C"
    if (row <= 0) {
        menu().Label1.setText(" 輸入錯誤!");
        key_entry().clear();
        return;
    }
    const int slot = slot_of_row(static_cast<int>(row));
    const PlayQueue& queue = state().play_queue;
    if (queue.number_at(slot).isEmpty()) {
        menu().Label1.setText(empty_row_message());
        key_entry().clear();
        return;
    }
    act_on_row(slot, get_song_name(state(), queue.number_at(slot)));
    repaint();
    key_entry().clear();
}

delete_song::delete_song(menu_context& context)
    : queue_row_screen(context, "4", "刪除點歌 選 \"0\" 可回主目錄") {}

void delete_song::act_on_row(int slot, const QString& name) {
    menu().Label1.setText("刪了:" + name);
    state().play_queue.delete_at(slot);
}

intter_song::intter_song(menu_context& context)
    : queue_row_screen(context, "5", "插歌功能 選 \"0\" 可回主目錄") {}

void intter_song::act_on_row(int slot, const QString& name) {
    state().play_queue.move_forward(slot, 0, name + "--插播");
    menu().Label1.clear();
}
