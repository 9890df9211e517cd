#include "foundation/lookups.h"

#include "foundation/catalogue.h"

#include <QStringList>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

const QString kNotFound = QStringLiteral("找不到");

// Empties the whole list, then fills it from the rows of the query until the
// rows or the list run out. `entry` gives a row's key and text; the lookups it
// makes see the same state of the catalogue as the query.
template <size_t Slots, typename Entry>
bool fill_list(std::array<QString, Slots>& list, const QString& sql, const QString& db_path, Entry entry) {
    constexpr size_t size = Slots / 2;
    list.fill(QString());
    const ReadSnapshot snapshot(db_path);
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

// Names of the singers with these codes, read in one query; a code that no
// singer has is missing from the map.
std::unordered_map<int, QString> singer_names(std::vector<int> codes, const QString& db_path) {
    std::unordered_map<int, QString> names;
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    if (codes.empty()) return names;
    QStringList listed;
    for (const int code : codes) listed << QString::number(code);
    for (Recordset singers = open_recordset(
             "SELECT singer_code, singer_name FROM singer WHERE singer_code IN (" + listed.join(',') + ")",
             db_path);
         !singers.Eof(); singers.MoveNext())
        names.emplace(singers.FieldInt("singer_code"), singers.Field("singer_name"));
    return names;
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
    // Only the columns the list shows, which its index holds.
    const QString kind = "SELECT song_num, song_name, song_singer_code FROM song WHERE song_kind = " +
                         QString::number(song_kind);
    const QString ordered =
        text_count > 9
            ? kind + " AND song_text_count > 9  ORDER BY song_text_count, song_name"
            : kind + " AND song_text_count = " + QString::number(text_count) + " ORDER BY song_name";
    // Only as many rows as the list holds: the long titles of a large
    // category are several thousand, and reading and sorting all of them
    // took longer than a frame.
    const QString sql = ordered + " LIMIT " + QString::number(size);
    // The singers' names are read in one query after the songs, not one query
    // per song: a list of 1,501 songs would otherwise cost a frame or two. Both
    // queries see the same state of the catalogue.
    const ReadSnapshot snapshot(state.db_path);
    std::vector<int> singer_codes;
    const bool found = fill_list(state.song_list, sql, state.db_path, [&singer_codes](const Recordset& row) {
        singer_codes.push_back(row.FieldInt("song_singer_code"));
        return std::pair(row.Field("song_num"), row.Field("song_name") + "--");
    });
    const auto names = singer_names(singer_codes, state.db_path);
    for (size_t i = 0; i < singer_codes.size(); ++i) {
        const auto name = names.find(singer_codes[i]);
        state.song_list[size + i] += name == names.end() ? kNotFound : name->second;
    }
    return found;
}
