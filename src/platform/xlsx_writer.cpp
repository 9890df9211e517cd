// The current Excel format through libxlsxwriter.

#include "platform/spreadsheet.h"

#include <xlsxwriter.h>

#include <QFile>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace {

// libxlsxwriter takes at most this many manual page breaks.
constexpr size_t kMaxPageBreaks = LXW_BREAKS_MAX;
constexpr std::uint8_t kPaperA4 = 9;

struct Edges {
    std::uint8_t left, right, top, bottom;
    auto operator<=>(const Edges&) const = default;
};

Edges edges_of(const PrintedSheet& sheet, int row, int column) {
    const CellRules rules = rules_of(sheet, row, column);
    if (!rules.ruled) return {LXW_BORDER_NONE, LXW_BORDER_NONE, LXW_BORDER_NONE, LXW_BORDER_NONE};
    const auto line = [](bool outline) -> std::uint8_t {
        return outline ? LXW_BORDER_MEDIUM : LXW_BORDER_THIN;
    };
    return {line(rules.left_outline), line(rules.right_outline), line(rules.top_outline),
            line(rules.bottom_outline)};
}

// The formats of the sheet's cells, made once per set of borders.
class Formats {
public:
    Formats(lxw_workbook* workbook, const PrintedSheet& sheet) : workbook_(workbook), sheet_(sheet) {}

    lxw_format* with(const Edges& edges) {
        auto [found, added] = formats_.try_emplace(edges, nullptr);
        if (!added) return found->second;
        lxw_format* format = workbook_add_format(workbook_);
        const QByteArray font = sheet_.font_name.toUtf8();
        format_set_font_name(format, font.constData());
        format_set_font_size(format, sheet_.font_points);
        format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
        if (sheet_.shrink_to_fit) format_set_shrink(format);
        format_set_left(format, edges.left);
        format_set_right(format, edges.right);
        format_set_top(format, edges.top);
        format_set_bottom(format, edges.bottom);
        found->second = format;
        return format;
    }
    lxw_format* plain() { return with({LXW_BORDER_NONE, LXW_BORDER_NONE, LXW_BORDER_NONE, LXW_BORDER_NONE}); }

private:
    lxw_workbook* workbook_;
    const PrintedSheet& sheet_;
    std::map<Edges, lxw_format*> formats_;
};

void write_cells(lxw_worksheet* worksheet, const PrintedSheet& sheet, Formats& formats) {
    const int columns = int(sheet.column_widths.size());
    const int rows = used_rows(sheet);
    for (int row = 0; row < rows; ++row) {
        worksheet_set_row(worksheet, lxw_row_t(row), sheet.row_height_points, formats.plain());
        for (int column = 0; column < columns; ++column) {
            const bool has_text = row < int(sheet.cells.size()) &&
                                  column < int(sheet.cells[size_t(row)].size()) &&
                                  !sheet.cells[size_t(row)][size_t(column)].isEmpty();
            lxw_format* format = formats.with(edges_of(sheet, row, column));
            if (has_text) {
                const QByteArray text = sheet.cells[size_t(row)][size_t(column)].toUtf8();
                worksheet_write_string(worksheet, lxw_row_t(row), lxw_col_t(column), text.constData(),
                                       format);
            } else {
                worksheet_write_blank(worksheet, lxw_row_t(row), lxw_col_t(column), format);
            }
        }
    }
}

void set_up_pages(lxw_worksheet* worksheet, const PrintedSheet& sheet) {
    std::vector<lxw_row_t> breaks;
    for (const int row : sheet.page_breaks_before) {
        if (breaks.size() == kMaxPageBreaks) break;
        breaks.push_back(lxw_row_t(row));
    }
    if (!breaks.empty()) {
        breaks.push_back(0);
        worksheet_set_h_pagebreaks(worksheet, breaks.data());
    }
    worksheet_set_paper(worksheet, kPaperA4);
    worksheet_set_portrait(worksheet);
    worksheet_set_print_scale(worksheet, std::uint16_t(sheet.print_scale_percent));
    if (sheet.center_horizontally) worksheet_center_horizontally(worksheet);
    worksheet_set_margins(worksheet, sheet.margins.left, sheet.margins.right, sheet.margins.top,
                          sheet.margins.bottom);
    lxw_header_footer_options header_margin{sheet.margins.header, nullptr, nullptr, nullptr};
    lxw_header_footer_options footer_margin{sheet.margins.footer, nullptr, nullptr, nullptr};
    if (!sheet.right_header.isEmpty())
        worksheet_set_header_opt(worksheet, ("&R" + sheet.right_header).toUtf8().constData(), &header_margin);
    if (!sheet.center_footer.isEmpty())
        worksheet_set_footer_opt(worksheet, ("&C" + sheet.center_footer).toUtf8().constData(),
                                 &footer_margin);
}

}  // namespace

void write_xlsx(const PrintedSheet& sheet, const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* workbook = workbook_new(file.constData());
    if (!workbook) throw SpreadsheetError(path.toStdString() + ": cannot write");
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, "工作表1");
    Formats formats(workbook, sheet);
    for (size_t column = 0; column < sheet.column_widths.size(); ++column)
        worksheet_set_column(worksheet, lxw_col_t(column), lxw_col_t(column), sheet.column_widths[column],
                             formats.plain());
    write_cells(worksheet, sheet, formats);
    set_up_pages(worksheet, sheet);
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) throw SpreadsheetError(path.toStdString() + ": " + lxw_strerror(closed));
}
