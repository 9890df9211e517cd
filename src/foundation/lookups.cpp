#include "foundation/lookups.h"

#include "foundation/catalogue.h"

namespace {

const QString kNotFound = QStringLiteral("找不到");

// Empties the whole list, then fills it from the rows of the query until the
// rows or the list run out; `entry` gives a row's key and text. Everything a
// list shows comes from its one query, so it shows one state of the catalogue
// without a transaction of its own (on a server that would cost two more
// round trips per lookup).
template <size_t Slots, typename Entry>
bool fill_list(std::array<QString, Slots>& list, const QString& sql, const QString& db_path, Entry entry) {
    constexpr size_t size = Slots / 2;
    list.fill(QString());
    Recordset rows = open_recordset(sql, db_path);
    if (rows.RecordCount() < 1) return false;
    for (size_t i = 0; i < size && !rows.Eof(); ++i, rows.MoveNext()) {
        auto [key, text] = entry(rows);
        list[i] = std::move(key);
        list[size + i] = std::move(text);
    }
    return true;
}

QString song_field(const AppState& state, const QString& song_num, std::string_view field) {
    const Recordset song =
        open_recordset("SELECT * FROM song WHERE song_num = '" + sql_quoted(song_num) + "'", state.db_path);
    if (song.Eof()) return kNotFound + song_num;
    return song.Field(field);
}

}  // namespace

const std::array<QString, 8>& song_kind_names() {
    static const std::array<QString, 8> names{"台語", "國語", "客語", "英語", "日語", "兒歌", "其它", "粵語"};
    return names;
}

QString replace_char(const QString& text, const QString& search, const QString& replacement) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (search.size() == 1 && c == search.front()) {
            result += replacement;
        } else {
            result += c;
        }
    }
    return result;
}

QString sql_quoted(const QString& text) {
    return replace_char(text, "'", "''");
}

int kind_code_of(const QString& kind_name) {
    const auto& names = song_kind_names();
    for (size_t code = 0; code < names.size(); ++code) {
        if (names[code] == kind_name) return static_cast<int>(code);
    }
    return -1;
}

QString get_singer_name(const AppState& state, int singer_code) {
    const Recordset singer = open_recordset(
        "SELECT * FROM singer WHERE singer_code = " + QString::number(singer_code), state.db_path);
    if (singer.Eof()) return kNotFound;
    return singer.Field("singer_name");
}

QString get_song_name(const AppState& state, const QString& song_num) {
    return song_field(state, song_num, "song_name");
}

QString get_song_location(const AppState& state, const QString& song_num) {
    return song_field(state, song_num, "song_location");
}

bool load_singers_by_sex(AppState& state, int singer_sex) {
    // Only the columns and rows the list shows, which its index holds.
    const QString sql =
        "SELECT singer_code, singer_name FROM singer WHERE singer_sex = " + QString::number(singer_sex) +
        " ORDER BY singer_name LIMIT " + QString::number(state.singer_list.size() / 2);
    return fill_list(state.singer_list, sql, state.db_path, [](const Recordset& row) {
        return std::pair(row.Field("singer_code"), row.Field("singer_name"));
    });
}

bool load_songs_by_singer(AppState& state, int singer_code) {
    const QString sql = "SELECT * FROM song WHERE song_singer_code = " + QString::number(singer_code) +
                        " ORDER BY song_text_count,song_name";
    return fill_list(state.song_list, sql, state.db_path, [](const Recordset& row) {
        return std::pair(row.Field("song_num"), row.Field("song_name"));
    });
}

bool load_songs_by_kind_count(AppState& state, int song_kind, int text_count) {
    const size_t size = state.song_list.size() / 2;
    // Only the columns the list shows, which the song list's index holds, and
    // each song's singer looked up by key in the same query (NULL: no such
    // singer). A query per song for the names would cost a frame or two for
    // a list of 1,501; one query naming every code, or a join the server may
    // turn into hashing every singer and sorting afterwards, costs a server
    // more than the list itself.
    const QString kind =
        "SELECT song_num, song_name, (SELECT coalesce(singer_name, '') FROM singer WHERE singer_code = "
        "song_singer_code) AS singer_name FROM song WHERE song_kind = " +
        QString::number(song_kind);
    const QString ordered =
        text_count > 9
            ? kind + " AND song_text_count > 9  ORDER BY song_text_count, song_name"
            : kind + " AND song_text_count = " + QString::number(text_count) + " ORDER BY song_name";
    // Only as many rows as the list holds: the long titles of a large
    // category are several thousand, and reading and sorting all of them
    // took longer than a frame.
    const QString sql = ordered + " LIMIT " + QString::number(size);
    return fill_list(state.song_list, sql, state.db_path, [](const Recordset& row) {
        const QString singer = row.FieldIsNull("singer_name") ? kNotFound : row.Field("singer_name");
        return std::pair(row.Field("song_num"), row.Field("song_name") + "--" + singer);
    });
}
