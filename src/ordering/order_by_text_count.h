#pragma once

#include "ordering/menu_screen.h"

// Ordering by character count: the category menu ("1"), the count entry
// ("1_1") and the numbered list of the songs of that category and title
// length ("1_2"), as the printed song book is arranged.
class order_by_text_count : public menu_screen {
public:
    explicit order_by_text_count(menu_context& context) : menu_screen(context) {}

    QString name() const override;
    // The category menu.
    void enter() override;
    // order_by_text_count_do: the key handler of all three steps.
    void key(int& KeyAscii) override;

    // Count entry keys; code 0 prints the prompt.
    void order_by_text_count_do_1(int& KeyAscii);
    // Song list keys.
    void order_by_text_count_do_2(int& KeyAscii);

private:
    enum class step { category, count, songs };

    void choose_category(int KeyAscii);
    void show_count_prompt();
    void list_songs_of_count(int text_count);
    void show_count_song_page(int page);

    step step_ = step::category;
    int selected_kind = 0;  // the song category chosen
};
