#pragma once

#include "widgets/keypad_screen.h"
#include "widgets/list_pages.h"

#include <QString>

#include <functional>

struct AppState;
class PictureBox;
class QLabel;

// Ordering by singer: the singer category menu ("2"), the numbered list of
// the singers of that category ("2_1") and the numbered list of one singer's
// songs ("2_2"), from which the guest keys the list number to queue a song.
// The main menu shows it full-screen; the small ordering window over the
// video shows it with smaller pages and rules of its own.
class order_by_singer : public keypad_screen {
public:
    // What the window gives the screen to work with.
    struct parts {
        AppState& state;
        PictureBox& Picture1;
        QLabel& Label1;      // echoes the entry; one-line messages
        QString& key_entry;  // the window's entry, which its error handling empties
        // The window's editing of the entry (digits, "." takes one back)
        // and its echo; whether the key was one of them.
        std::function<bool(int key)> type_entry_key;
        // Queues a song number; the slot it took, or -1.
        std::function<int(const QString& song_num)> order_song;
        // Offers the whole entry as a song number before it is taken as a
        // list number; whether a song was ordered. Empty: lists only.
        std::function<bool()> order_entry;
        // The category menu's way back.
        std::function<void()> leave;
    };
    // What differs between the windows.
    struct rules {
        int singers_per_page;
        int songs_per_page;
        page_style pages;
        QChar back_key;  // leaves from the category menu
        // A list number that opens or orders nothing answers on Label1 and
        // drops the entry; otherwise it stays for correcting.
        bool answer_failures;
    };

    order_by_singer(parts parts, rules rules);

    QString name() const override;
    // The category menu.
    void enter() override;
    // The key handler of all three steps.
    void key(int& KeyAscii) override;

    // Singer list keys.
    void order_by_singer_do_1(int& KeyAscii);
    // Keys on the songs of the singer.
    void order_by_singer_do_2(int& KeyAscii);

private:
    enum class step { category, singers, songs };

    void choose_category(int KeyAscii);
    void list_key(int KeyAscii, void (order_by_singer::*show_page)(int), void (order_by_singer::*back)(),
                  void (order_by_singer::*choose)(int));
    void show_singer_page(int page);
    void show_singer_song_page(int page);
    void open_listed_singer(int list_number);
    void order_listed_song(int list_number);
    void back_to_singers();
    void refuse(const QString& message);

    parts parts_;
    rules rules_;
    step step_ = step::category;
    int selected_sex = 0;  // the singer category chosen
    QString selected_singer_name;
    int singer_list_page = 1;  // the singer page a singer's songs were opened from
};
