#pragma once

// What the song books are made of: the catalogue queries, the manager's
// conditions for new songs, and the names proposed for the files written.

#include "foundation/catalogue_operations.h"
#include "songbook/song_book.h"

#include <QString>

#include <optional>
#include <vector>

inline const QString kAskForStartDate = "請指定好起始列印的日期";

// The conditions of "條件列印": songs registered on or after a date whose
// titles hold a keyword (an empty keyword holds every title).
struct NewSongsQuery {
    QString date_box_text;  // as the manager typed it
    QString date;           // "YYYY/MM/DD"
    QString keyword;        // blanks trimmed

    // The songs chosen, as the catalogue is asked for them.
    BookChoice choice() const;
    // The notice when no song is chosen.
    QString nothing_found_text() const;
};

// The conditions, or nothing when the date box does not hold a date
// ("2024/5/1", "2024-05-01" and "2024.5.1" do).
std::optional<NewSongsQuery> new_songs_query(const QString& date_box_text, const QString& keyword);

// The chosen songs in song-book order, each with the name of its singer
// ("找不到" when the singer is gone). The singers are read in one query, not
// one per song.
std::vector<BookSong> read_book_songs(const BookChoice& choice, const QString& db_path);

// "Vocari_Karaoke" + today as yyyymmdd + "." + suffix.
QString proposed_file_name(const QString& suffix);
// The path as chosen, with "." + suffix added when it does not end so
// (file dialogs of some desktops do not add it).
QString with_suffix(const QString& path, const QString& suffix);
