#include "songbook/book_source.h"

#include "foundation/catalogue_dates.h"

#include <QDate>

#include <unordered_map>

namespace {

const QString kNotFound = QStringLiteral("找不到");

std::unordered_map<int, QString> all_singer_names(CatalogueSession& session) {
    std::unordered_map<int, QString> names;
    for (Recordset singers = all_singers(session); !singers.Eof(); singers.MoveNext())
        names.emplace(singers.FieldInt("singer_code"), singers.Field("singer_name"));
    return names;
}

}  // namespace

BookChoice NewSongsQuery::choice() const {
    return {.whole_catalogue = false, .keyword = keyword, .from_date = date};
}

QString NewSongsQuery::nothing_found_text() const {
    return "沒有" + date_box_text + "以後 or 有關\"" + keyword + "\"的相關資料";
}

std::optional<NewSongsQuery> new_songs_query(const QString& date_box_text, const QString& keyword) {
    const std::optional<QDate> date = typed_date(date_box_text);
    if (!date) return std::nullopt;
    return NewSongsQuery{date_box_text, date->toString("yyyy/MM/dd"), keyword.trimmed()};
}

std::vector<BookSong> read_book_songs(const BookChoice& choice, const QString& db_path) {
    const ReadSnapshot snapshot(db_path);
    CatalogueSession& session = shared_session(db_path);
    const std::unordered_map<int, QString> singers = all_singer_names(session);
    std::vector<BookSong> songs;
    Recordset rows = book_songs(session, choice);
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
