#include "panels/small_order_by_singer.h"

namespace {
// Over the video the lists are short and printed line by line; "0" on the
// category menu leaves, and a list number that opens or orders nothing is
// answered on the message line.
const order_by_singer::rules kOverVideoRules{5, 4, page_style::compact, '0', true};
}  // namespace

small_order_by_singer::small_order_by_singer(AppState& state, PlaybackSession& session, QWidget* parent)
    : small_window(state, session, parent, 0.16, true),
      order_by_singer_({state_, Picture1, Label1, key_entry, [this](int key) { return type_entry_key(key); },
                        [this](const QString& song_num) { return order_song(song_num); },
                        [this] { return order_entry() >= 0; }, [this] { leave(); }},
                       kOverVideoRules) {
    set_captions("上頁", "下頁", "0回主選單");
}
