#pragma once

#include "platform/spreadsheet.h"

#include <QDate>
#include <QString>

#include <vector>

class QWidget;
struct AppState;
struct NewSongsQuery;

// One song of the spreadsheet: its number, title and every singer joined
// with "+".
struct SheetSong {
    QString song_num;
    QString song_name;
    QString singers;
};

// The chosen songs, one per number, in song-book order.
std::vector<SheetSong> read_sheet_songs(const NewSongsQuery& query, const QString& db_path);

// The worksheet: blocks of a heading row ("編號", "歌曲名稱", "演唱者") and
// twenty songs, each ruled and on a page of its own, in "標楷體" 43 points,
// printed at 70 % with the date in the header and page numbers in the footer.
PrintedSheet song_sheet(const std::vector<SheetSong>& songs, const QDate& printed_on);

// The spreadsheet output of "條件列印": asks where to save (.xls, or .xlsx by
// the name's ending) and writes the sheet; cancelling writes nothing.
void export_new_songs(AppState& state, QWidget* parent, const NewSongsQuery& query);
