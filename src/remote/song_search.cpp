#include "remote/song_search.h"

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/lookups.h"

#include <QStringList>

QString like_literal(const QString& part) {
    QString escaped;
    escaped.reserve(part.size());
    for (const QChar c : part) {
        if (c == '\\' || c == '%' || c == '_') escaped += '\\';
        escaped += c;
    }
    return sql_quoted(escaped);
}

namespace {

// The numbers of one page of matching songs and one more, which tells
// whether a later page holds any.
QStringList matching_numbers(const AppState& state, const QString& query, int song_kind, int page) {
    const QString pattern = like_literal(query);
    QString sql =
        "SELECT DISTINCT song.song_num FROM song LEFT JOIN singer ON singer.singer_code = "
        "song.song_singer_code"
        " WHERE (song.song_num LIKE '" +
        pattern + "%' ESCAPE '\\' OR song.song_name LIKE '%" + pattern +
        "%' ESCAPE '\\' OR singer.singer_name LIKE '%" + pattern + "%' ESCAPE '\\')";
    if (song_kind != kAnyKind) sql += " AND song.song_kind = " + QString::number(song_kind);
    sql += QString(" ORDER BY song.song_num LIMIT %1 OFFSET %2")
               .arg(kSongsPerPage + 1)
               .arg(qint64(page - 1) * kSongsPerPage);
    QStringList numbers;
    for (Recordset rows = open_recordset(sql, state.db_path); !rows.Eof(); rows.MoveNext())
        numbers << rows.Field("song_num");
    return numbers;
}

// Title and singers of each number, in the order given: a number stored in
// several rows (one per singer) becomes one song.
std::vector<FoundSong> songs_of(const AppState& state, const QStringList& numbers) {
    QStringList quoted;
    for (const QString& num : numbers) quoted << "'" + sql_quoted(num) + "'";
    const QString sql =
        "SELECT song.song_num, song.song_name, singer.singer_name FROM song"
        " LEFT JOIN singer ON singer.singer_code = song.song_singer_code WHERE song.song_num IN (" +
        quoted.join(',') + ") ORDER BY song.song_num, song.rowid";
    std::vector<FoundSong> songs;
    for (Recordset rows = open_recordset(sql, state.db_path); !rows.Eof(); rows.MoveNext()) {
        const QString num = rows.Field("song_num");
        const QString singer = rows.Field("singer_name");
        if (!songs.empty() && songs.back().num == num) {
            if (!singer.isEmpty()) songs.back().singers += "+" + singer;
            continue;
        }
        songs.push_back({num, rows.Field("song_name"), singer});
    }
    return songs;
}

}  // namespace

FoundPage search_songs(const AppState& state, const QString& query, int song_kind, int page) {
    ReadSnapshot snapshot(state.db_path);
    QStringList numbers = matching_numbers(state, query, song_kind, page);
    FoundPage found;
    found.more = numbers.size() > kSongsPerPage;
    if (found.more) numbers.removeLast();
    if (!numbers.isEmpty()) found.songs = songs_of(state, numbers);
    return found;
}
