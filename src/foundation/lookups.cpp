#include "foundation/lookups.h"

#include "foundation/catalogue_operations.h"

namespace {

const QString kNotFound = QStringLiteral("找不到");

// Empties the whole list, then fills it from the rows of the query until the
// rows or the list run out; `entry` gives a row's key and text. Everything a
// list shows comes from its one query, so it shows one state of the catalogue
// without a transaction of its own (on a server that would cost two more
// round trips per lookup).
template <size_t Slots, typename Entry>
bool fill_list(std::array<QString, Slots>& list, Recordset rows, Entry entry) {
    constexpr size_t size = Slots / 2;
    list.fill(QString());
    if (rows.RecordCount() < 1) return false;
    for (size_t i = 0; i < size && !rows.Eof(); ++i, rows.MoveNext()) {
        auto [key, text] = entry(rows);
        list[i] = std::move(key);
        list[size + i] = std::move(text);
    }
    return true;
}

QString song_field(const AppState& state, const QString& song_num, std::string_view field) {
    const Recordset song = songs_numbered(shared_session(state.db_path), song_num, 1);
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

int kind_code_of(const QString& kind_name) {
    const auto& names = song_kind_names();
    for (size_t code = 0; code < names.size(); ++code) {
        if (names[code] == kind_name) return static_cast<int>(code);
    }
    return -1;
}

QString get_singer_name(const AppState& state, int singer_code) {
    const Recordset singer = singer_with_code(shared_session(state.db_path), singer_code);
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
    const int size = static_cast<int>(state.singer_list.size() / 2);
    return fill_list(
        state.singer_list, singers_of_sex(shared_session(state.db_path), singer_sex, size),
        [](const Recordset& row) { return std::pair(row.Field("singer_code"), row.Field("singer_name")); });
}

bool load_songs_by_singer(AppState& state, int singer_code) {
    return fill_list(
        state.song_list, songs_of_singer(shared_session(state.db_path), singer_code),
        [](const Recordset& row) { return std::pair(row.Field("song_num"), row.Field("song_name")); });
}

bool load_songs_by_kind_count(AppState& state, int song_kind, int text_count) {
    const int size = static_cast<int>(state.song_list.size() / 2);
    Recordset songs = songs_of_kind_and_count(shared_session(state.db_path), song_kind, text_count, size);
    return fill_list(state.song_list, std::move(songs), [](const Recordset& row) {
        const QString singer = row.FieldIsNull("singer_name") ? kNotFound : row.Field("singer_name");
        return std::pair(row.Field("song_num"), row.Field("song_name") + "--" + singer);
    });
}
