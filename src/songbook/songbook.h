#pragma once

#include <QString>

class QWidget;
struct AppState;

// The song-book buttons of manager mode. Each runs a whole output inside the
// click, asking its questions through the platform's dialogs; catalogue and
// device failures end the run with a notice.

// "列印全部目錄": the whole catalogue on the default printer (or, when the
// system has none and the manager agrees, into a PDF file), one section per
// kind and title length, one- or two-sided as the manager answers.
void print_whole_song_book(AppState& state, QWidget* parent);

// "條件列印": the songs registered on or after print_start_date whose titles
// hold keyword, one section per kind: printed like the whole catalogue, or
// with to_spreadsheet (the "Excel" option) exported to a spreadsheet file.
void print_new_songs(AppState& state, QWidget* parent, const QString& print_start_date,
                     const QString& keyword, bool to_spreadsheet);
