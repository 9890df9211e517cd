// What the numbered song and singer lists of ordering by character count and
// by singer have in common: the page layout and ordering a listed song.
#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "foundation/song_orders.h"
#include "ordering/main_menu.h"

namespace {
// The text area is divided into rows of one fourteenth of its height.
constexpr double kRowsPerHeight = 14;
constexpr int kSongsPerPage = 10;
}  // namespace

// One page of a result list (keys in its first half, texts in its second,
// as the lookups fill it): each row shows its list number, counting on from
// page to page, and the text at that position, empty past the end; the page
// footer stands near the bottom.
void main_menu::print_numbered_page(std::span<const QString> list, int rows_per_page, int page) {
    const double row_height = Picture1.scale_height() / kRowsPerHeight;
    Picture1.clear();
    const QStringList rows = numbered_page_rows(list, rows_per_page, page, 3);
    for (int row = 0; row < rows.size(); ++row) {
        Picture1.move_to(0, row * row_height);
        Picture1.print(rows[row]);
    }
    Picture1.move_to(0, Picture1.scale_height() - 1.3 * row_height);
    Picture1.print("  第 " + QString::number(page) + " 頁 選\"0\"可回主選單");
}

// A page of song_list with what the list holds (category or singer) on the
// line between the songs and the footer; what is printed next stands on the
// line below that.
void main_menu::print_song_page(int page, const QString& caption) {
    print_numbered_page(state_.song_list, kSongsPerPage, page);
    Picture1.move_to(0, Picture1.scale_height() - 3.5 * Picture1.scale_height() / kRowsPerHeight);
    Picture1.print(caption);
}

// Enter with a list number on a song list: queues the song at that position
// of song_list, whatever page is on screen, reprints the page and confirms
// below the list. An empty position, or one past the list, does nothing and
// leaves the entry for correcting.
void main_menu::order_listed_song(int list_number, void (main_menu::*show_page)(int)) {
    const int size = int(state_.song_list.size() / 2);
    if (list_number < 1 || list_number > size) return;
    const QString& number = state_.song_list[size_t(list_number - 1)];
    if (number.isEmpty() || add_song_to_queue(state_, number) < 0) return;
    (this->*show_page)(state_.current_page);
    Picture1.print("成功點入:" + state_.song_list[size_t(size + list_number - 1)] + "....");
    key_entry.clear();
    Label1.clear();
}
