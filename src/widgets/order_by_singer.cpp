#include "widgets/order_by_singer.h"

#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "foundation/lookups.h"
#include "widgets/picture_box.h"

#include <QLabel>

order_by_singer::order_by_singer(parts parts, rules rules) : parts_(std::move(parts)), rules_(rules) {}

QString order_by_singer::name() const {
    switch (step_) {
        case step::category:
            return "2";
        case step::singers:
            return "2_1";
        case step::songs:
            return "2_2";
    }
    return {};
}

void order_by_singer::enter() {
    step_ = step::category;
    parts_.Label1.clear();
    parts_.key_entry.clear();
    PictureBox& Picture1 = parts_.Picture1;
    Picture1.clear();
    for (const char* line : {"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", ""})
        Picture1.print(QString::fromUtf8(line));
    Picture1.print(rules_.back_key + QString(".上一目錄"));
}

void order_by_singer::key(int& KeyAscii) {
    if (step_ == step::singers)
        order_by_singer_do_1(KeyAscii);
    else if (step_ == step::songs)
        order_by_singer_do_2(KeyAscii);
    else
        choose_category(KeyAscii);
}

// Any key goes into the entry; a category opens its singers, the back key
// leaves and anything else is dropped.
void order_by_singer::choose_category(int KeyAscii) {
    QString& entry = parts_.key_entry;
    AppState& state = parts_.state;
    entry += QChar(KeyAscii);
    state.current_page = 1;
    parts_.Label1.clear();
    if (entry == "1" || entry == "2" || entry == "3") {
        selected_sex = entry.toInt() - 1;
        load_singers_by_sex(state, selected_sex);  // a category without singers lists empty rows
        show_singer_page(1);
        entry.clear();
        step_ = step::singers;
    } else if (entry == QString(rules_.back_key)) {
        parts_.leave();
    } else {
        entry.clear();
    }
}

void order_by_singer::show_singer_page(int page) {
    print_numbered_page(parts_.Picture1, rules_.pages, parts_.state.singer_list, rules_.singers_per_page,
                        page);
}

void order_by_singer::show_singer_song_page(int page) {
    print_song_page(parts_.Picture1, rules_.pages, parts_.state.song_list, rules_.songs_per_page, page,
                    "歌手:" + selected_singer_name);
}

void order_by_singer::order_by_singer_do_1(int& KeyAscii) {
    step_ = step::singers;
    list_key(KeyAscii, &order_by_singer::show_singer_page, &order_by_singer::enter,
             &order_by_singer::open_listed_singer);
}

void order_by_singer::order_by_singer_do_2(int& KeyAscii) {
    step_ = step::songs;
    list_key(KeyAscii, &order_by_singer::show_singer_song_page, &order_by_singer::back_to_singers,
             &order_by_singer::order_listed_song);
}

// What the two lists share: "-" and "+" turn the page, digits and "."
// edit the entry, Enter with "0" goes one step back, and Enter with another
// number, when the window did not order it as a song number, chooses that
// list number.
void order_by_singer::list_key(int KeyAscii, void (order_by_singer::*show_page)(int),
                               void (order_by_singer::*back)(), void (order_by_singer::*choose)(int)) {
    AppState& state = parts_.state;
    if (turn_page(state, KeyAscii)) (this->*show_page)(state.current_page);
    const QString& entry = parts_.key_entry;
    if (parts_.type_entry_key(KeyAscii) || KeyAscii != 13 || entry.isEmpty()) return;
    if (entry == "0") {
        (this->*back)();
        return;
    }
    if (parts_.order_entry && parts_.order_entry()) {
        parts_.key_entry.clear();
        return;
    }
    (this->*choose)(entry_number(entry));
}

// Opens the songs of the singer with that list number, whatever page is on
// screen. A position that is empty or past the list, or a singer without
// songs, leaves the singer list as it is.
void order_by_singer::open_listed_singer(int list_number) {
    AppState& state = parts_.state;
    const int size = int(state.singer_list.size() / 2);
    bool numeric = false;
    const int singer_code = list_number >= 1 && list_number <= size
                                ? state.singer_list[size_t(list_number - 1)].toInt(&numeric)
                                : 0;
    if (!numeric) {
        refuse("沒這種人!");
        return;
    }
    if (!load_songs_by_singer(state, singer_code)) {
        refuse("沒這種歌!");
        return;
    }
    selected_singer_name = get_singer_name(state, singer_code);
    parts_.key_entry.clear();
    parts_.Label1.clear();
    singer_list_page = state.current_page;
    state.current_page = 1;
    show_singer_song_page(1);
    step_ = step::songs;
}

// Back to the singer page the singer was chosen from.
void order_by_singer::back_to_singers() {
    parts_.Label1.clear();
    parts_.key_entry.clear();
    parts_.state.current_page = singer_list_page;
    show_singer_page(singer_list_page);
    step_ = step::singers;
}

// Queues the song at that list position, whatever page is on screen, and
// confirms it under the page.
void order_by_singer::order_listed_song(int list_number) {
    const auto ordered = ::order_listed_song(parts_.state, list_number, parts_.order_song);
    if (!ordered) {
        refuse("沒這種歌!");
        return;
    }
    show_singer_song_page(parts_.state.current_page);
    print_ordered_song(parts_.Picture1, *ordered);
    parts_.key_entry.clear();
    parts_.Label1.clear();
}

void order_by_singer::refuse(const QString& message) {
    if (!rules_.answer_failures) return;
    parts_.key_entry.clear();
    parts_.Label1.setText(message);
}
