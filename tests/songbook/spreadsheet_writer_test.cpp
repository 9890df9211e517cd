#include "platform/spreadsheet.h"
#include "songbook_fixture.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

// The page breaks a spreadsheet reader finds in the file.
int page_breaks_in(const QString& path) {
    return int(read_spreadsheet(path)["breaks"].toArray().size());
}

// A sheet of 1,100 one-row blocks, each on a page of its own.
PrintedSheet many_pages() {
    PrintedSheet sheet;
    sheet.column_widths = {10};
    sheet.font_name = "標楷體";
    for (int row = 0; row < 1100; ++row) {
        sheet.cells.push_back({QString::number(row)});
        sheet.blocks.push_back({row, row, 0, 0});
        if (row > 0) sheet.page_breaks_before.push_back(row);
    }
    return sheet;
}

using SpreadsheetWriter = SongBookTest;

// Excel keeps at most 1,026 manual breaks in a legacy sheet, and
// libxlsxwriter writes at most 1,023; the rest are left out rather than
// making a file the spreadsheet refuses.
TEST_F(SpreadsheetWriter, PageBreaksStopAtWhatTheFormatHolds) {
    const PrintedSheet sheet = many_pages();
    write_xls(sheet, folder.file("many.xls"));
    write_xlsx(sheet, folder.file("many.xlsx"));
    EXPECT_EQ(page_breaks_in(folder.file("many.xls")), 1026);
    EXPECT_EQ(page_breaks_in(folder.file("many.xlsx")), 1023);
}

TEST_F(SpreadsheetWriter, AFolderThatIsMissingFailsBothFormats) {
    const PrintedSheet sheet = many_pages();
    EXPECT_THROW(write_xls(sheet, folder.file("missing/a.xls")), SpreadsheetError);
    EXPECT_THROW(write_xlsx(sheet, folder.file("missing/a.xlsx")), SpreadsheetError);
}

}  // namespace
