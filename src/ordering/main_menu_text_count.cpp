// Ordering by character count: the category menu ("1"), the count entry
// ("1_1") and the numbered list of the songs of that category and title
// length ("1_2"), as the printed song book is arranged.
#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "foundation/lookups.h"
#include "ordering/main_menu.h"

void main_menu::order_by_text_count(int&) {
    Menu_Statu = "1";
    Label1.clear();
    key_entry.clear();
    Picture1.clear();
    // Category 7 has no line of its own but is accepted all the same.
    for (const char* line : {"請輸入曲目種類", "0.台語", "1.國語", "2.客語", "3.英語", "4.日語", "5.兒歌",
                             "6.其它", "", "9.上一目錄"})
        Picture1.print(QString::fromUtf8(line));
}

void main_menu::order_by_text_count_do(int& KeyAscii) {
    if (Menu_Statu == "1_1") {
        // Code 0 (a key the settings do not map) must not reprint the
        // prompt and lose the count typed so far.
        if (KeyAscii != 0) order_by_text_count_do_1(KeyAscii);
        return;
    }
    if (Menu_Statu == "1_2") {
        order_by_text_count_do_2(KeyAscii);
        return;
    }
    if (KeyAscii >= 42 && KeyAscii <= 57) key_entry += QChar(KeyAscii);
    Label1.clear();
    if (key_entry.size() == 1 && key_entry[0] >= '0' && key_entry[0] <= '7') {
        selected_kind = key_entry[0].digitValue();
        int prompt = 0;
        order_by_text_count_do_1(prompt);
    } else if (key_entry == "9") {
        show_main_menu();
    } else {
        key_entry.clear();
    }
}

void main_menu::order_by_text_count_do_1(int& KeyAscii) {
    if (KeyAscii == 0) {
        show_count_prompt();
        return;
    }
    type_entry_key(KeyAscii, Echo::bare);
    if (KeyAscii != 13 || key_entry.isEmpty()) return;
    if (key_entry == "0") {
        show_main_menu();
        return;
    }
    list_songs_of_count(entry_number(key_entry));
}

void main_menu::show_count_prompt() {
    Menu_Statu = "1_1";
    Picture1.clear();
    Picture1.print("請輸入您所想要瀏覽的 ");
    Picture1.print(state_.kind_names[size_t(selected_kind)] + " 歌的字數,");
    Picture1.print("然後再按確定開始選歌..");
    Picture1.print("");
    Picture1.print("選\"0\"可回主目錄...0");
    key_entry.clear();
    Label1.clear();
}

// Counts above nine all give the one list of long titles.
void main_menu::list_songs_of_count(int text_count) {
    if (!load_songs_by_kind_count(state_, selected_kind, text_count)) {
        Label1.setText("沒有這種組合!!");
        key_entry.clear();
        return;
    }
    key_entry.clear();
    Label1.clear();
    state_.current_page = 1;
    show_count_song_page(1);
    int only_set_screen = 0;
    order_by_text_count_do_2(only_set_screen);
}

void main_menu::show_count_song_page(int page) {
    print_song_page(page, state_.kind_names[size_t(selected_kind)] + " 類");
}

void main_menu::order_by_text_count_do_2(int& KeyAscii) {
    Menu_Statu = "1_2";
    type_entry_key(KeyAscii, Echo::bare);
    if (KeyAscii == 13 && !key_entry.isEmpty()) {
        if (key_entry == "0") {
            order_by_text_count(KeyAscii);
            return;
        }
        order_listed_song(entry_number(key_entry), &main_menu::show_count_song_page);
    }
    if (turn_page(KeyAscii)) show_count_song_page(state_.current_page);
}
