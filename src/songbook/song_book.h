#pragma once

#include <QString>

#include <array>
#include <vector>

class PageSurface;
class Surface;

// One song as a song book prints it.
struct BookSong {
    QString song_num;
    QString song_name;
    QString singer_name;
    int song_kind = 0;
    int song_text_count = 0;
};

// The pages one pass over the songs puts on paper. Pages that are not
// printed are still counted, so every page keeps its number.
enum class PrintedPages { All, Odd, Even };

// How the songs are cut into sections and what each section is called.
struct BookSections {
    enum class Cut {
        ByKindAndLength,  // the whole catalogue: one section per kind and title length
        ByKind,           // new songs: one section per kind
    };
    Cut cut = Cut::ByKindAndLength;
    std::array<QString, 8> kind_names;
    // New songs only: the keyword the songs were chosen by, blanks trimmed.
    QString keyword;
};

// A printed song book: pages of a ruled table of 22 rows (the column
// headings and 21 songs), each with its section title and page number,
// drawn in "標楷體" 24 points. Positions are twips from the printable corner.
class song_book {
public:
    song_book(std::vector<BookSong> songs, BookSections sections);

    const std::vector<BookSong>& songs() const { return songs_; }

    // Prints the songs in order, starting with page 1, on the pages chosen.
    // A page is started on the target only when something is drawn on it,
    // so a pass never leaves a blank sheet behind.
    void print_pass(PageSurface& target, PrintedPages pages) const;

    // The ruled table of one page: rules 0.05 cm thick around 22 rows of
    // 1.15 cm and between the three columns.
    static void paint_table(Surface& target);
    // One row of the table (1 = the heading row): the song name, number and
    // singer columns. A text wider than its column is printed smaller.
    static void print_data(Surface& target, int line, const QString& text1, const QString& text2,
                           const QString& text3);

    // The title of the section a song opens.
    QString section_title(const BookSong& first) const;

private:
    struct Section {
        int kind;
        int text_count;
    };
    bool breaks_section(const Section& section, const BookSong& song, int line) const;
    QString kind_name(int kind) const;

    std::vector<BookSong> songs_;
    BookSections sections_;
};
