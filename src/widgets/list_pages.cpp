#include "widgets/list_pages.h"

#include "foundation/app_state.h"
#include "foundation/keypad_entry.h"
#include "widgets/picture_box.h"

namespace {
// The main menu's text area is divided into rows of one fourteenth of its height.
constexpr double kRowsPerHeight = 14;
constexpr int kLastPage = 500;

double spread_row_height(const PictureBox& Picture1) {
    return Picture1.scale_height() / kRowsPerHeight;
}

void print_spread_page(PictureBox& Picture1, std::span<const QString> list, int rows_per_page, int page) {
    const double row_height = spread_row_height(Picture1);
    Picture1.clear();
    const QStringList rows = numbered_page_rows(list, rows_per_page, page, 3);
    for (int row = 0; row < rows.size(); ++row) {
        Picture1.move_to(0, row * row_height);
        Picture1.print(rows[row]);
    }
    Picture1.move_to(0, Picture1.scale_height() - 1.3 * row_height);
    Picture1.print("  第 " + QString::number(page) + " 頁 選\"0\"可回主選單");
}

void print_compact_page(PictureBox& Picture1, std::span<const QString> list, int rows_per_page, int page) {
    Picture1.clear();
    for (const QString& row : numbered_page_rows(list, rows_per_page, page, 2)) Picture1.print(row);
    Picture1.print("第 " + QString::number(page) + " 頁");
}
}  // namespace

void print_numbered_page(PictureBox& Picture1, page_style style, std::span<const QString> list,
                         int rows_per_page, int page) {
    if (style == page_style::spread)
        print_spread_page(Picture1, list, rows_per_page, page);
    else
        print_compact_page(Picture1, list, rows_per_page, page);
}

void print_song_page(PictureBox& Picture1, page_style style, std::span<const QString> song_list,
                     int rows_per_page, int page, const QString& caption) {
    print_numbered_page(Picture1, style, song_list, rows_per_page, page);
    if (style == page_style::spread)
        Picture1.move_to(0, Picture1.scale_height() - 3.5 * spread_row_height(Picture1));
    Picture1.print(caption);
}

void print_ordered_song(PictureBox& Picture1, const QString& display_text) {
    Picture1.print("成功點入:" + display_text + "....");
}

bool turn_page(AppState& state, int KeyAscii) {
    if (KeyAscii == '-' && state.current_page > 1) {
        --state.current_page;
        return true;
    }
    if (KeyAscii == '+' && state.current_page < kLastPage) {
        ++state.current_page;
        return true;
    }
    return false;
}

std::optional<QString> order_listed_song(AppState& state, int list_number,
                                         const std::function<int(const QString& song_num)>& order_song) {
    const int size = int(state.song_list.size() / 2);
    if (list_number < 1 || list_number > size) return std::nullopt;
    const QString& number = state.song_list[size_t(list_number - 1)];
    if (number.isEmpty() || order_song(number) < 0) return std::nullopt;
    return state.song_list[size_t(size + list_number - 1)];
}
