#include "panels/small_inttersong.h"

#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "foundation/lookups.h"
#include "playback/playback_session.h"

small_inttersong::small_inttersong(AppState& state, PlaybackSession& session, QWidget* parent)
    : small_window(state, session, parent, 0.16, true) {
    set_captions("上頁", "下頁", "選\"0\"離開");
    state_.current_page = 1;
    state_.insert_window_open = true;
    const auto show_queue_again = [this] {
        if (state_.insert_window_open) show_order_menu(state_.current_page);
    };
    connect(&session_, &PlaybackSession::head_removed, this, show_queue_again);
    connect(&session_, &PlaybackSession::queue_changed, this, show_queue_again);
}

small_inttersong::~small_inttersong() {
    state_.insert_window_open = false;
}

void small_inttersong::done(int result) {
    state_.insert_window_open = false;
    small_window::done(result);
}

void small_inttersong::Form_Activate() {
    state_.insert_window_open = true;
    show_order_menu(state_.current_page);
}

void small_inttersong::show_order_menu(int page) {
    const PlayQueue& queue = state_.play_queue;
    Picture1.clear();
    for (int row = 1; row <= kRowsPerPage; ++row) {
        const int slot = (page - 1) * kRowsPerPage + row - 1;
        const QString number = QString::number(row) + ".";
        Picture1.print(queue.number_at(slot).isEmpty() ? number : number + " " + queue.display_at(slot));
    }
    Picture1.print("第 " + QString::number(page) + " 頁");
    Picture1.print("插播功能");
}

void small_inttersong::handle_key(int key) {
    if (type_entry_key(key)) return;
    if (key == '-' || key == '+') {
        if (key == '-' && state_.current_page > 1) --state_.current_page;
        if (key == '+') ++state_.current_page;
        show_order_menu(state_.current_page);
        return;
    }
    if (key != 13 || key_entry.isEmpty()) return;
    if (key_entry == "0") {
        leave();
        return;
    }
    if (order_entry() >= 0)
        show_order_menu(state_.current_page);
    else
        insert_row(entry_number(key_entry));
    key_entry.clear();
}

// The row of the page on screen moves to slot 2, to play after the song
// playing and the one after it, which keep their places.
void small_inttersong::insert_row(int row) {
    if (row > kRowsPerPage) {
        Label1.setText("沒這種歌!");
        return;
    }
    if (row < 1) {
        Label1.setText("輸入錯誤");
        return;
    }
    PlayQueue& queue = state_.play_queue;
    const int slot = (state_.current_page - 1) * kRowsPerPage + row - 1;
    if (queue.number_at(slot).isEmpty()) {
        Label1.setText("沒歌可插!");
    } else if (slot < 2) {
        Label1.setText("這種歌不用插播了啦!");
    } else {
        queue.move_forward(slot, 2, get_song_name(state_, queue.number_at(slot)) + "--插播");
        Label1.clear();
        show_order_menu(state_.current_page);
    }
}
