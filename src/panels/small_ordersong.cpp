#include "panels/small_ordersong.h"

small_ordersong::small_ordersong(AppState& state, PlaybackSession& session, QWidget* parent)
    : small_window(state, session, parent, 0.18, false) {
    set_captions("-", "+", "選\"0\"離開");
}

// "-", "+", "*" and "/" (when no hotkey) do nothing here.
void small_ordersong::handle_key(int key) {
    if (type_entry_key(key) || key != 13) return;
    if (key_entry == "0") {
        leave();
        return;
    }
    if (order_entry() < 0) Label1.setText("沒這種歌!");
    key_entry.clear();
}
