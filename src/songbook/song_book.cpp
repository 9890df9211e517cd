#include "songbook/song_book.h"

#include "platform/surface.h"

namespace {

constexpr double kTwipsPerCm = 567;
constexpr int kRowsPerPage = 22;  // the heading row and 21 songs
// Titles longer than this share one section per kind.
constexpr int kLongestCountedLength = 10;

constexpr double kRowHeightCm = 1.15;
constexpr double kTableTopCm = 1;
constexpr double kRuleCm = 0.05;
constexpr double kTableLeftCm = 1.3;
constexpr double kTableRightCm = 19.3;
constexpr std::array<double, 2> kColumnRulesCm{12.1, 15.7};

const QPointF kTitleAt{850.5, 567};
const QPointF kPageNumberAt{8505, 567};
constexpr std::array<double, 3> kColumnTextX{907.2, 7030.8, 9072};
// Where the text of each column must end: 0.1 cm before the next rule.
constexpr std::array<double, 3> kColumnTextEndCm{12.0, 15.6, 19.2};

QPointF cm(double x, double y) {
    return {x * kTwipsPerCm, y * kTwipsPerCm};
}

double row_top_cm(int row) {
    return kRowHeightCm * row + kTableTopCm;
}

// Prints a text at (x, y); a text too wide for its room is printed in a
// smaller size, centred on the row's line, so that it never runs into the
// next column or off the table.
void print_fitted(Surface& target, const QString& text, double x, double y, double room) {
    const double width = target.text_width(text);
    target.move_to(x, y);
    if (width <= room) {
        target.print(text);
        return;
    }
    const FontSpec normal = target.font_spec();
    const double normal_height = target.text_height(text);
    FontSpec smaller = normal;
    smaller.size = normal.size * room / width;
    target.set_font(smaller);
    target.move_to(x, y + (normal_height - target.text_height(text)) / 2);
    target.print(text);
    target.set_font(normal);
}

void bar(Surface& target, double x1, double y1, double x2, double y2) {
    target.fill_box(cm(x1, y1), cm(x2, y2), Qt::black);
}

bool printed(PrintedPages pages, int page) {
    switch (pages) {
        case PrintedPages::Odd:
            return page % 2 == 1;
        case PrintedPages::Even:
            return page % 2 == 0;
        case PrintedPages::All:
            break;
    }
    return true;
}

}  // namespace

song_book::song_book(std::vector<BookSong> songs, BookSections sections)
    : songs_(std::move(songs)), sections_(std::move(sections)) {}

void song_book::paint_table(Surface& target) {
    for (int i = 1; i <= kRowsPerPage; ++i) {
        const double top = row_top_cm(i);
        const double next_top = row_top_cm(i + 1);
        bar(target, kTableLeftCm, top, kTableRightCm, top + kRuleCm);
        bar(target, kTableLeftCm, top, kTableLeftCm + kRuleCm, next_top);
        bar(target, kTableRightCm, top, kTableRightCm + kRuleCm, next_top + kRuleCm);
        for (const double x : kColumnRulesCm) bar(target, x, top, x + kRuleCm, next_top);
    }
    const double bottom = row_top_cm(kRowsPerPage + 1);
    bar(target, kTableLeftCm, bottom, kTableRightCm, bottom + kRuleCm);
}

void song_book::print_data(Surface& target, int line, const QString& text1, const QString& text2,
                           const QString& text3) {
    const double y = (line * kRowHeightCm + kTableTopCm + 0.15) * kTwipsPerCm;
    const std::array<const QString*, 3> texts{&text1, &text2, &text3};
    for (size_t column = 0; column < texts.size(); ++column) {
        const double room = kColumnTextEndCm[column] * kTwipsPerCm - kColumnTextX[column];
        print_fitted(target, *texts[column], kColumnTextX[column], y, room);
    }
}

QString song_book::kind_name(int kind) const {
    if (kind < 0 || kind >= int(sections_.kind_names.size())) return QString::number(kind);
    return sections_.kind_names[size_t(kind)];
}

QString song_book::section_title(const BookSong& first) const {
    const QString kind = kind_name(first.song_kind);
    if (sections_.cut == BookSections::Cut::ByKind) {
        if (sections_.keyword.isEmpty()) return "新進" + kind + "歌曲 ";
        return "精選" + kind + sections_.keyword + "歌曲";
    }
    if (first.song_text_count > kLongestCountedLength) return kind + "-- 多字部";
    return kind + "-- " + QString::number(first.song_text_count) + "字部";
}

bool song_book::breaks_section(const Section& section, const BookSong& song, int line) const {
    if (line > kRowsPerPage || song.song_kind != section.kind) return true;
    if (sections_.cut == BookSections::Cut::ByKind) return false;
    return section.text_count <= kLongestCountedLength && song.song_text_count != section.text_count;
}

void song_book::print_pass(PageSurface& target, PrintedPages pages) const {
    if (songs_.empty()) return;
    target.set_font({"標楷體", 24});
    int line = 1;
    int page = 0;
    bool drawn_any_page = false;
    Section section{songs_.front().song_kind, songs_.front().song_text_count};
    for (const BookSong& song : songs_) {
        if (breaks_section(section, song, line)) {
            line = 1;
            section = {song.song_kind, song.song_text_count};
        }
        if (line == 1) {
            ++page;
            if (printed(pages, page)) {
                if (drawn_any_page) target.new_page();
                drawn_any_page = true;
                paint_table(target);
                target.move_to(kTitleAt.x(), kTitleAt.y());
                target.print(section_title(song));
                target.move_to(kPageNumberAt.x(), kPageNumberAt.y());
                target.print("第 " + QString::number(page) + "頁");
                print_data(target, 1, "歌曲名稱", "編號", "演唱者");
            }
            line = 2;
        }
        if (printed(pages, page)) print_data(target, line, song.song_name, song.song_num, song.singer_name);
        ++line;
    }
}
