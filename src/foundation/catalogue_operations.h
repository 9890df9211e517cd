#pragma once

// Everything the program asks of the catalogue, by name. Each operation runs
// its statements on the session it is given (shared_session(place) for the
// windows), binds every value, and reads the same on both stores. Where the
// program's design gives a statement's text, the operation returns the
// same rows in the same order and its comment quotes the statement.
//
// Keywords typed by a user are matched literally: "%", "_" and "\" in a
// keyword match themselves.

#include "foundation/catalogue_session.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// One row of table song.
struct SongRow {
    QString num;
    int kind = 0;
    QString name;
    int text_count = 0;
    int singer_code = 0;
    QString build_date;
    QString location;
};

// ---- Songs and singers by key --------------------------------------------

// "SELECT * FROM song WHERE song_num = '…'": every row of the number (one
// per singer), the first max_rows of them when max_rows >= 0.
Recordset songs_numbered(CatalogueSession& session, const QString& song_num, int max_rows = -1);
// "SELECT * FROM singer WHERE singer_code = …"
Recordset singer_with_code(CatalogueSession& session, std::int64_t singer_code);
// "SELECT * FROM singer WHERE singer_name = '…'"
Recordset singers_named(CatalogueSession& session, const QString& singer_name);
// "SELECT * FROM song WHERE song_location = '…'"
Recordset songs_at_location(CatalogueSession& session, const QString& location);
// The songs that play the file under another number than except_number.
Recordset songs_at_location_except(CatalogueSession& session, const QString& location,
                                   const QString& except_number);
// "SELECT singer_name from singer where singer_code in ( select distinct
// song_singer_code from song where song_num='…')"
Recordset singers_of_song_number(CatalogueSession& session, const QString& song_num);

// ---- The ordering screens' lists -----------------------------------------

// The singers of a category (0 female, 1 male, 2 group or other) in stroke
// order of their names, at most `limit`: singer_code, singer_name.
Recordset singers_of_sex(CatalogueSession& session, int singer_sex, int limit);
// "SELECT * FROM song WHERE song_singer_code = … ORDER BY
// song_text_count,song_name", names in stroke order.
Recordset songs_of_singer(CatalogueSession& session, std::int64_t singer_code);
// The songs of a category whose titles have text_count characters, by title
// in stroke order; a count above 9 lists every title of ten or more
// characters, shortest first. At most `limit` rows of song_num, song_name and
// singer_name (NULL when the singer row is gone).
Recordset songs_of_kind_and_count(CatalogueSession& session, int song_kind, int text_count, int limit);

// ---- Manager mode's searches ---------------------------------------------

// "SELECT * FROM song WHERE song_name LIKE '<title>%' and song_text_count=<n>":
// the stored songs whose title begins with the new title and has its length.
Recordset songs_with_similar_title(CatalogueSession& session, const QString& title, int text_count);
// "SELECT DISTINCT song_name , song_num FROM song WHERE song_name like '<title>%'"
Recordset titles_beginning_with(CatalogueSession& session, const QString& title);
// "SELECT * FROM singer WHERE singer_name Like '<typed>%'"
Recordset singers_beginning_with(CatalogueSession& session, const QString& typed);
// "SELECT * FROM singer as a INNER JOIN song as b ON a.singer_code =
// b.song_singer_code where song_name like '%<title>%' and singer_name like
// '%<singer>%' order by song_text_count,song_name", names in stroke order,
// the first max_rows rows.
Recordset songs_matching(CatalogueSession& session, const QString& title_keyword,
                         const QString& singer_keyword, int max_rows);
// The song numbers that begin with the prefix, in order.
Recordset numbers_beginning_with(CatalogueSession& session, const QString& prefix);
// Every singer, by code: singer_code, singer_name.
Recordset all_singers_by_code(CatalogueSession& session);

// ---- Manager mode's writes -----------------------------------------------

void add_song(CatalogueSession& session, const SongRow& song);
void add_singer(CatalogueSession& session, const QString& name, int sex);
void change_singer(CatalogueSession& session, std::int64_t singer_code, const QString& name, int sex);
void delete_singer(CatalogueSession& session, std::int64_t singer_code);
// "DELETE FROM song WHERE song_num='…'"
void delete_songs_numbered(CatalogueSession& session, const QString& song_num);
// "UPDATE song SET song_name = '…' WHERE song_num = '…'"
void rename_songs_numbered(CatalogueSession& session, const QString& song_num, const QString& title);
// Gives every row of song.num the song's kind, title, length, date and file;
// the rows of singer from_singer_code pass to song.singer_code.
void change_songs_numbered(CatalogueSession& session, const SongRow& song, std::int64_t from_singer_code);

// ---- The song book and the statistics ------------------------------------

// The songs the song book lists: every song, or those whose title holds the
// keyword and whose build date is on or after `from_date` ("YYYY/MM/DD").
struct BookChoice {
    bool whole_catalogue = true;
    QString keyword;
    QString from_date;
};
// "SELECT * FROM song [WHERE song_name LIKE '%…%' AND song_build_date >=
// '…'] ORDER BY song_kind , song_text_count , song_name", titles in stroke order.
Recordset book_songs(CatalogueSession& session, const BookChoice& choice);
// One row per chosen song number (song_num, song_name, song_kind,
// song_text_count) in the same order: "SELECT distinct …".
Recordset book_song_numbers(CatalogueSession& session, const BookChoice& choice);
// The singers of every chosen number, whatever each row's own title and
// date: song_num, singer_code, singer_name by number and singer code.
Recordset book_song_singers(CatalogueSession& session, const BookChoice& choice);
// Every singer: singer_code, singer_name.
Recordset all_singers(CatalogueSession& session);
// "SELECT * FROM song" and "SELECT * FROM song where song_kind = …",
// counted (rows, not numbers).
int song_count(CatalogueSession& session);
int song_count_of_kind(CatalogueSession& session, int song_kind);

// ---- The phones ------------------------------------------------------------

// Every song with its singer's name (NULL when gone), by number, the rows of
// one number in the order they were stored: song_num, song_kind, song_name,
// singer_name.
Recordset songs_for_phones(CatalogueSession& session);

// ---- Copying and checking a whole catalogue --------------------------------

enum class CatalogueTable { Song, Singer };
// Every row of a table, every column, in key order (songs by number and
// singer code, singers by code).
Recordset every_row(CatalogueSession& session, CatalogueTable table);
// Adds the rows of every_row as they are, NULLs and singer codes included,
// reporting each batch written.
void add_rows(CatalogueSession& session, CatalogueTable table, Recordset& rows,
              const std::function<void(int written, int total)>& progress);
void delete_every_row(CatalogueSession& session);
int singer_row_count(CatalogueSession& session);
// The last singer code the catalogue handed out, to singers deleted since
// included; zero when it never handed one out.
std::int64_t last_singer_code(CatalogueSession& session);
// New singers take codes after every stored code and after `last_code`.
void continue_singer_codes_after(CatalogueSession& session, std::int64_t last_code);
// Brings the store's own statistics up to date after a bulk load.
void refresh_statistics(CatalogueSession& session);
// Distinct song_num, song_name, song_location by number.
Recordset songs_with_files(CatalogueSession& session);
// song_num, song_name, song_singer_code of songs whose singer row is gone.
Recordset songs_without_singer(CatalogueSession& session);
// singer_code, singer_name of singers without a song.
Recordset singers_without_songs(CatalogueSession& session);
// song_location and numbers (how many) of files that several song numbers
// play; a song with several singers is one number.
Recordset files_of_several_numbers(CatalogueSession& session);
