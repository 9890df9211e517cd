#include "songbook/song_sheet.h"

#include "foundation/app_state.h"
#include "platform/dialogs.h"
#include "songbook/book_source.h"

#include <unordered_map>

namespace {

constexpr int kSongsPerBlock = 20;
constexpr int kRowsPerBlock = kSongsPerBlock + 1;
constexpr int kColumns = 3;
// Tall enough for 43-point text, low enough that a block of 21 rows fills
// one A4 page at 70 % between the margins below (and 22 rows do not).
constexpr double kRowHeightPoints = 51;

const QString kSaveTitle = "另存新檔";
const QString kXlsFilter = "Excel Files(*.xls)";
const QString kXlsxFilter = "Excel 2007 (*.xlsx)";

void fill_block_heading(std::vector<QString>& row) {
    row = {"編號", "歌曲名稱", "演唱者"};
}

// Blocks for the songs only: the last block holding songs ends the sheet.
void rule_blocks(PrintedSheet& sheet, int songs) {
    const int blocks = (songs + kSongsPerBlock - 1) / kSongsPerBlock;
    for (int k = 0; k < blocks; ++k) {
        const int first = k * kRowsPerBlock;
        sheet.blocks.push_back({first, first + kRowsPerBlock - 1, 0, kColumns - 1});
        if (k > 0) sheet.page_breaks_before.push_back(first);
    }
}

}  // namespace

std::vector<SheetSong> read_sheet_songs(const NewSongsQuery& query, const QString& db_path) {
    const ReadSnapshot snapshot(db_path);
    CatalogueSession& session = shared_session(db_path);
    const BookChoice choice = query.choice();
    std::unordered_map<QString, QString> singers;
    for (Recordset rows = book_song_singers(session, choice); !rows.Eof(); rows.MoveNext()) {
        QString& joined = singers[rows.Field("song_num")];
        if (!joined.isEmpty()) joined += "+";
        joined += rows.Field("singer_name");
    }
    std::vector<SheetSong> songs;
    for (Recordset rows = book_song_numbers(session, choice); !rows.Eof(); rows.MoveNext()) {
        const QString num = rows.Field("song_num");
        const auto found = singers.find(num);
        songs.push_back({num, rows.Field("song_name"), found == singers.end() ? QString() : found->second});
    }
    return songs;
}

PrintedSheet song_sheet(const std::vector<SheetSong>& songs, const QDate& printed_on) {
    PrintedSheet sheet;
    const int blocks = (int(songs.size()) + kSongsPerBlock - 1) / kSongsPerBlock;
    sheet.cells.resize(size_t(blocks * kRowsPerBlock));
    for (size_t i = 0; i < songs.size(); ++i) {
        const size_t block_start = i / kSongsPerBlock * kRowsPerBlock;
        if (i % kSongsPerBlock == 0) fill_block_heading(sheet.cells[block_start]);
        sheet.cells[block_start + 1 + i % kSongsPerBlock] = {songs[i].song_num, songs[i].song_name,
                                                             songs[i].singers};
    }
    rule_blocks(sheet, int(songs.size()));
    sheet.column_widths = {25.5, 81.63, 39.13};
    sheet.row_height_points = kRowHeightPoints;
    sheet.font_name = "標楷體";
    sheet.font_points = 43;
    sheet.shrink_to_fit = true;
    sheet.print_scale_percent = 70;
    sheet.center_horizontally = true;
    sheet.margins = {0.25, 0.25, 0.6, 0.6, 0.3, 0.3};
    sheet.right_header = "列印日期 : " + printed_on.toString("yyyy/MM/dd");
    sheet.center_footer = "第 &P 頁，共 &N 頁";
    return sheet;
}

void export_new_songs(AppState& state, QWidget* parent, const NewSongsQuery& query) {
    Dialogs& dialogs = *state.platform.dialogs;
    const std::vector<SheetSong> songs = read_sheet_songs(query, state.db_path);
    if (songs.empty()) {
        dialogs.notice(parent, query.nothing_found_text());
        return;
    }
    const PrintedSheet sheet = song_sheet(songs, QDate::currentDate());
    const bool xlsx_offered = state.settings.ExportXlsx == 1;
    QStringList filters{kXlsFilter};
    if (xlsx_offered) filters << kXlsxFilter;
    const QString path = dialogs.save_file(parent, kSaveTitle, proposed_file_name("xls"), filters);
    if (path.isEmpty()) return;
    if (xlsx_offered && path.endsWith(".xlsx", Qt::CaseInsensitive)) {
        write_xlsx(sheet, path);
    } else {
        write_xls(sheet, with_suffix(path, "xls"));
    }
}
