// Ordering by singer: the singer category menu ("2"), the numbered list of
// the singers of that category ("2_1") and the numbered list of one singer's
// songs ("2_2").
#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "foundation/lookups.h"
#include "ordering/main_menu.h"

namespace {
constexpr int kSingersPerPage = 12;
}  // namespace

void main_menu::order_by_singer(int&) {
    Menu_Statu = "2";
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    for (const char* line : {"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", "", "9.上一目錄"})
        Picture1.print(QString::fromUtf8(line));
}

void main_menu::order_by_singer_do(int& KeyAscii) {
    if (Menu_Statu == "2_1") {
        order_by_singer_do_1(KeyAscii);
        return;
    }
    if (Menu_Statu == "2_2") {
        order_by_singer_do_2(KeyAscii);
        return;
    }
    key_entry += QChar(KeyAscii);
    state_.current_page = 1;
    Label1.clear();
    if (key_entry == "1" || key_entry == "2" || key_entry == "3") {
        selected_sex = key_entry.toInt() - 1;
        load_singers_by_sex(state_, selected_sex);  // a category without singers lists empty rows
        show_singer_page(1);
        key_entry.clear();
        int only_set_screen = 0;
        order_by_singer_do_1(only_set_screen);
    } else if (key_entry == "9") {
        show_main_menu();
    } else {
        key_entry.clear();
    }
}

void main_menu::show_singer_page(int page) {
    print_numbered_page(state_.singer_list, kSingersPerPage, page);
}

void main_menu::order_by_singer_do_1(int& KeyAscii) {
    Menu_Statu = "2_1";
    type_entry_key(KeyAscii, Echo::bare);
    if (KeyAscii == 13 && !key_entry.isEmpty()) {
        if (key_entry == "0") {
            order_by_singer(KeyAscii);
            return;
        }
        open_listed_singer(entry_number(key_entry));
    }
    if (turn_page(KeyAscii)) show_singer_page(state_.current_page);
}

// Opens the songs of the singer with that list number. A position that is
// empty or past the list, or a singer without songs, leaves the singer list
// as it is, the entry included.
void main_menu::open_listed_singer(int list_number) {
    const int size = int(state_.singer_list.size() / 2);
    if (list_number < 1 || list_number > size) return;
    bool numeric = false;
    const int singer_code = state_.singer_list[size_t(list_number - 1)].toInt(&numeric);
    if (!numeric || !load_songs_by_singer(state_, singer_code)) return;
    selected_singer_name = get_singer_name(state_, singer_code);
    key_entry.clear();
    Label1.clear();
    singer_list_page = state_.current_page;
    state_.current_page = 1;
    show_singer_song_page(1);
    int only_set_screen = 0;
    order_by_singer_do_2(only_set_screen);
}

void main_menu::show_singer_song_page(int page) {
    print_song_page(page, "歌手:" + selected_singer_name);
}

void main_menu::order_by_singer_do_2(int& KeyAscii) {
    Menu_Statu = "2_2";
    type_entry_key(KeyAscii, Echo::bare);
    if (KeyAscii == 13 && !key_entry.isEmpty()) {
        if (key_entry == "0") {
            // Back to the singer page the singer was chosen from.
            Label1.clear();
            key_entry.clear();
            state_.current_page = singer_list_page;
            show_singer_page(state_.current_page);
            int only_set_screen = 0;
            order_by_singer_do_1(only_set_screen);
            return;
        }
        order_listed_song(entry_number(key_entry), &main_menu::show_singer_song_page);
    }
    if (turn_page(KeyAscii)) show_singer_song_page(state_.current_page);
}
