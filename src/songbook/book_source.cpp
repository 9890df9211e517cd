#include "songbook/book_source.h"

#include "foundation/catalogue.h"
#include "foundation/catalogue_dates.h"
#include "foundation/lookups.h"

#include <QDate>

#include <unordered_map>

namespace {

const QString kNotFound = QStringLiteral("找不到");

QString chosen_songs_condition(const NewSongsQuery& query) {
    return "song_name LIKE '%" + sql_quoted(query.keyword) + "%' AND song_build_date >= '" +
           sql_quoted(query.date) + "'";
}

std::unordered_map<int, QString> all_singer_names(const QString& db_path) {
    std::unordered_map<int, QString> names;
    for (Recordset singers = open_recordset("SELECT singer_code , singer_name FROM singer", db_path);
         !singers.Eof(); singers.MoveNext())
        names.emplace(singers.FieldInt("singer_code"), singers.Field("singer_name"));
    return names;
}

}  // namespace

QString NewSongsQuery::book_sql() const {
    return "SELECT * FROM song WHERE " + chosen_songs_condition(*this) +
           "  ORDER BY song_kind , song_text_count , song_name;";
}

QString NewSongsQuery::sheet_sql() const {
    return "SELECT distinct song_num , song_name , song_kind , song_text_count FROM song WHERE " +
           chosen_songs_condition(*this) + "  ORDER BY song_kind , song_text_count , song_name;";
}

// Every song of a chosen number takes part, whatever its own date and
// title, as each song's own singer query would give them.
QString NewSongsQuery::sheet_singers_sql() const {
    return "SELECT DISTINCT song.song_num , singer.singer_code , singer.singer_name FROM song JOIN singer ON "
           "singer.singer_code = song.song_singer_code WHERE song.song_num IN (SELECT song_num FROM song "
           "WHERE " +
           chosen_songs_condition(*this) + ") ORDER BY song.song_num , singer.singer_code";
}

QString NewSongsQuery::nothing_found_text() const {
    return "沒有" + date_box_text + "以後 or 有關\"" + keyword + "\"的相關資料";
}

std::optional<NewSongsQuery> new_songs_query(const QString& date_box_text, const QString& keyword) {
    const std::optional<QDate> date = typed_date(date_box_text);
    if (!date) return std::nullopt;
    return NewSongsQuery{date_box_text, date->toString("yyyy/MM/dd"), keyword.trimmed()};
}

std::vector<BookSong> read_book_songs(const QString& sql, const QString& db_path) {
    const ReadSnapshot snapshot(db_path);
    const std::unordered_map<int, QString> singers = all_singer_names(db_path);
    std::vector<BookSong> songs;
    Recordset rows = open_recordset(sql, db_path);
    songs.reserve(size_t(rows.RecordCount()));
    for (; !rows.Eof(); rows.MoveNext()) {
        const auto singer = singers.find(rows.FieldInt("song_singer_code"));
        songs.push_back({rows.Field("song_num"), rows.Field("song_name"),
                         singer == singers.end() ? kNotFound : singer->second, rows.FieldInt("song_kind"),
                         rows.FieldInt("song_text_count")});
    }
    return songs;
}

QString proposed_file_name(const QString& suffix) {
    return "Vocari_Karaoke" + QDate::currentDate().toString("yyyyMMdd") + "." + suffix;
}

QString with_suffix(const QString& path, const QString& suffix) {
    if (path.endsWith("." + suffix, Qt::CaseInsensitive)) return path;
    return path + "." + suffix;
}
