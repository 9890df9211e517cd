#include "panels/small_order_by_singer.h"

#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "foundation/lookups.h"

namespace {
constexpr int kLastPage = 500;
}  // namespace

small_order_by_singer::small_order_by_singer(AppState& state, PlaybackSession& session, QWidget* parent)
    : small_window(state, session, parent, 0.16, true) {
    set_captions("上頁", "下頁", "0回主選單");
}

void small_order_by_singer::order_by_singer() {
    Menu_Statu = "2";
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    for (const char* line : {"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", "", "0.上一目錄"})
        Picture1.print(QString::fromUtf8(line));
}

void small_order_by_singer::order_by_singer_do(int key) {
    if (Menu_Statu == "2_1") {
        order_by_singer_do_1(key);
        return;
    }
    if (Menu_Statu == "2_2") {
        order_by_singer_do_2(key);
        return;
    }
    key_entry += QChar(key);
    state_.current_page = 1;
    Label1.clear();
    if (key_entry == "1" || key_entry == "2" || key_entry == "3") {
        load_singers_by_sex(state_, key_entry.toInt() - 1);  // a category without singers lists empty rows
        show_singer_page(1);
        key_entry.clear();
        Menu_Statu = "2_1";
    } else if (key_entry == "0") {
        leave();
    } else {
        key_entry.clear();
    }
}

void small_order_by_singer::show_singer_page(int page) {
    print_numbered_page(state_.singer_list, kSingersPerPage, page);
}

void small_order_by_singer::show_singer_song_page(int page) {
    print_numbered_page(state_.song_list, kSongsPerPage, page);
    Picture1.print("歌手:" + selected_singer_name);
}

bool small_order_by_singer::turn_page(int key) {
    if (key == '-' && state_.current_page > 1) {
        --state_.current_page;
        return true;
    }
    if (key == '+' && state_.current_page < kLastPage) {
        ++state_.current_page;
        return true;
    }
    return false;
}

void small_order_by_singer::order_by_singer_do_1(int key) {
    if (turn_page(key)) show_singer_page(state_.current_page);
    if (type_entry_key(key) || key != 13 || key_entry.isEmpty()) return;
    if (key_entry == "0") {
        order_by_singer();
        return;
    }
    if (order_entry() >= 0) {
        key_entry.clear();
        return;
    }
    open_listed_singer(entry_number(key_entry));
}

// Opens the songs of the singer with that list number, whatever page is on
// screen. An empty position, one past the list, or a singer without songs
// answers with a message.
void small_order_by_singer::open_listed_singer(int list_number) {
    const int size = int(state_.singer_list.size() / 2);
    bool numeric = false;
    const int singer_code = list_number >= 1 && list_number <= size
                                ? state_.singer_list[size_t(list_number - 1)].toInt(&numeric)
                                : 0;
    key_entry.clear();
    if (!numeric) {
        Label1.setText("沒這種人!");
        return;
    }
    if (!load_songs_by_singer(state_, singer_code)) {
        Label1.setText("沒這種歌!");
        return;
    }
    selected_singer_name = get_singer_name(state_, singer_code);
    Label1.clear();
    singer_list_page = state_.current_page;
    state_.current_page = 1;
    show_singer_song_page(1);
    Menu_Statu = "2_2";
}

void small_order_by_singer::order_by_singer_do_2(int key) {
    if (turn_page(key)) show_singer_song_page(state_.current_page);
    if (type_entry_key(key) || key != 13 || key_entry.isEmpty()) return;
    if (key_entry == "0") {
        // Back to the singer page the singer was chosen from.
        Label1.clear();
        key_entry.clear();
        state_.current_page = singer_list_page;
        show_singer_page(state_.current_page);
        Menu_Statu = "2_1";
        return;
    }
    if (order_entry() >= 0) {
        key_entry.clear();
        return;
    }
    order_listed_song(entry_number(key_entry));
}

// Queues the song at that list position, whatever page is on screen, and
// confirms it under the page.
void small_order_by_singer::order_listed_song(int list_number) {
    const int size = int(state_.song_list.size() / 2);
    const QString number =
        list_number >= 1 && list_number <= size ? state_.song_list[size_t(list_number - 1)] : QString();
    key_entry.clear();
    if (number.isEmpty() || order_song(number) < 0) {
        Label1.setText("沒這種歌!");
        return;
    }
    show_singer_song_page(state_.current_page);
    Picture1.print("成功點入:" + state_.song_list[size_t(size + list_number - 1)] + "....");
    Label1.clear();
}
