#pragma once

#include <QString>

#include <stdexcept>
#include <vector>

// A worksheet of texts laid out for printing: every cell in one font, rows
// of one height, ruled blocks and page breaks, as the song-book export
// writes it. Rows and columns count from 0.
struct PrintedSheet {
    struct Block {
        int first_row;
        int last_row;
        int first_column;
        int last_column;
    };

    // The cells, row by row; an empty text is an empty cell.
    std::vector<std::vector<QString>> cells;
    // Column widths in characters of the workbook's standard font.
    std::vector<double> column_widths;
    // The height of every row from the first to the last block's end.
    double row_height_points = 15;
    QString font_name;
    double font_points = 10;
    bool shrink_to_fit = false;
    // Ranges with a medium outline and thin lines inside; cells outside
    // them have no borders.
    std::vector<Block> blocks;
    // Rows that start a new printed page.
    std::vector<int> page_breaks_before;

    // Page setup: A4 portrait at this scale, centred across the page,
    // margins in inches.
    int print_scale_percent = 100;
    struct Margins {
        double left = 0.75;
        double right = 0.75;
        double top = 1;
        double bottom = 1;
        double header = 0.5;
        double footer = 0.5;
    } margins;
    bool center_horizontally = false;
    // The right part of the page header and the centre part of the footer,
    // in the spreadsheet's header codes (&P the page, &N the page count).
    QString right_header;
    QString center_footer;
};

// Where a cell stands among the ruled blocks: outside them, or inside one
// with each of its sides either on the block's outline or inside the block.
struct CellRules {
    bool ruled = false;
    bool left_outline = false;
    bool right_outline = false;
    bool top_outline = false;
    bool bottom_outline = false;
};
CellRules rules_of(const PrintedSheet& sheet, int row, int column);

// The rows from the first to the last one holding a text or a rule.
int used_rows(const PrintedSheet& sheet);

// Writing the file failed (folder missing, no permission, disk full).
class SpreadsheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The legacy Excel format (.xls: BIFF8 records in an OLE2 compound file).
void write_xls(const PrintedSheet& sheet, const QString& path);
// The current Excel format (.xlsx).
void write_xlsx(const PrintedSheet& sheet, const QString& path);
