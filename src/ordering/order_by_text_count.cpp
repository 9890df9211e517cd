#include "ordering/order_by_text_count.h"

#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "foundation/lookups.h"
#include "foundation/song_orders.h"
#include "ordering/main_menu.h"
#include "widgets/list_pages.h"

namespace {
constexpr int kSongsPerPage = 10;
}  // namespace

QString order_by_text_count::name() const {
    switch (step_) {
        case step::category:
            return "1";
        case step::count:
            return "1_1";
        case step::songs:
            return "1_2";
    }
    return {};
}

void order_by_text_count::enter() {
    step_ = step::category;
    clear_screen();
    // Category 7 has no line of its own but is accepted all the same.
    print_lines({"請輸入曲目種類", "0.台語", "1.國語", "2.客語", "3.英語", "4.日語", "5.兒歌", "6.其它", "",
                 "9.上一目錄"});
}

void order_by_text_count::key(int& KeyAscii) {
    if (step_ == step::count) {
        // Code 0 (a key the settings do not map) must not reprint the
        // prompt and lose the count typed so far.
        if (KeyAscii != 0) order_by_text_count_do_1(KeyAscii);
    } else if (step_ == step::songs) {
        order_by_text_count_do_2(KeyAscii);
    } else {
        choose_category(KeyAscii);
    }
}

void order_by_text_count::choose_category(int KeyAscii) {
    QString& entry = key_entry();
    if (KeyAscii >= '*' && KeyAscii <= '9') entry += QChar(KeyAscii);
    menu().Label1.clear();
    if (entry.size() == 1 && entry[0] >= '0' && entry[0] <= '7') {
        selected_kind = entry[0].digitValue();
        int prompt = 0;
        order_by_text_count_do_1(prompt);
    } else if (entry == "9") {
        menu().show_main_menu();
    } else {
        entry.clear();
    }
}

void order_by_text_count::order_by_text_count_do_1(int& KeyAscii) {
    if (KeyAscii == 0) {
        show_count_prompt();
        return;
    }
    type_entry_key(KeyAscii, menu_context::Echo::bare);
    if (KeyAscii != 13 || key_entry().isEmpty()) return;
    if (key_entry() == "0") {
        menu().show_main_menu();
        return;
    }
    list_songs_of_count(entry_number(key_entry()));
}

void order_by_text_count::show_count_prompt() {
    step_ = step::count;
    PictureBox& Picture1 = menu().Picture1;
    Picture1.clear();
    Picture1.print("請輸入您所想要瀏覽的 ");
    Picture1.print(state().kind_names[size_t(selected_kind)] + " 歌的字數,");
    Picture1.print("然後再按確定開始選歌..");
    Picture1.print("");
    Picture1.print("選\"0\"可回主目錄...0");
    key_entry().clear();
    menu().Label1.clear();
}

// Counts above nine all give the one list of long titles.
void order_by_text_count::list_songs_of_count(int text_count) {
    if (!load_songs_by_kind_count(state(), selected_kind, text_count)) {
        menu().Label1.setText("沒有這種組合!!");
        key_entry().clear();
        return;
    }
    key_entry().clear();
    menu().Label1.clear();
    state().current_page = 1;
    show_count_song_page(1);
    step_ = step::songs;
}

void order_by_text_count::show_count_song_page(int page) {
    print_song_page(menu().Picture1, page_style::spread, state().song_list, kSongsPerPage, page,
                    state().kind_names[size_t(selected_kind)] + " 類");
}

// Enter with a list number queues the song at that position of the list,
// whatever page is on screen, and confirms it below the page. An empty
// position, or one past the list, leaves the entry for correcting.
void order_by_text_count::order_by_text_count_do_2(int& KeyAscii) {
    step_ = step::songs;
    type_entry_key(KeyAscii, menu_context::Echo::bare);
    if (KeyAscii == 13 && !key_entry().isEmpty()) {
        if (key_entry() == "0") {
            enter();
            return;
        }
        const auto ordered =
            order_listed_song(state(), entry_number(key_entry()),
                              [this](const QString& number) { return add_song_to_queue(state(), number); });
        if (ordered) {
            show_count_song_page(state().current_page);
            print_ordered_song(menu().Picture1, *ordered);
            key_entry().clear();
            menu().Label1.clear();
        }
    }
    if (turn_page(state(), KeyAscii)) show_count_song_page(state().current_page);
}
