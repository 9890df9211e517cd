#include "foundation/catalogue_operations.h"

#include "foundation/catalogue_tables.h"

#include <QStringList>

namespace {

// SQLite's LIKE ignores the case of ASCII letters and PostgreSQL's does not,
// so the server compares lower-case texts (which its lower(...) indexes
// serve). Both read "\" as the escape of the bound pattern.
#define LIKE_FILE(column, parameter) column " LIKE " parameter " ESCAPE '\\'"
#define LIKE_SERVER(column, parameter) "lower(" column ") LIKE lower(" parameter ") ESCAPE '\\'"

// The keyword as a LIKE pattern that matches it literally.
QString literal(const QString& keyword) {
    QString escaped;
    escaped.reserve(keyword.size());
    for (const QChar c : keyword) {
        if (c == '\\' || c == '%' || c == '_') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

QString starting_with(const QString& keyword) {
    return literal(keyword) + "%";
}

QString containing(const QString& keyword) {
    return "%" + literal(keyword) + "%";
}

std::int64_t whole(int number) {
    return number;
}

int count_of(const Recordset& counted) {
    return counted.Eof() ? 0 : counted.FieldInt("n");
}

}  // namespace

// ---- Songs and singers by key --------------------------------------------

Recordset songs_numbered(CatalogueSession& session, const QString& song_num, int max_rows) {
    return session.rows(StoreStatement("SELECT * FROM song WHERE song_num = $1"), {song_num}, max_rows);
}

Recordset singer_with_code(CatalogueSession& session, std::int64_t singer_code) {
    return session.rows(StoreStatement("SELECT * FROM singer WHERE singer_code = $1"), {singer_code});
}

Recordset singers_named(CatalogueSession& session, const QString& singer_name) {
    return session.rows(StoreStatement("SELECT * FROM singer WHERE singer_name = $1"), {singer_name});
}

Recordset songs_at_location(CatalogueSession& session, const QString& location) {
    return session.rows(StoreStatement("SELECT * FROM song WHERE song_location = $1"), {location});
}

Recordset songs_at_location_except(CatalogueSession& session, const QString& location,
                                   const QString& except_number) {
    return session.rows(StoreStatement("SELECT * FROM song WHERE song_location = $1 AND song_num <> $2"),
                        {location, except_number});
}

Recordset singers_of_song_number(CatalogueSession& session, const QString& song_num) {
    return session.rows(StoreStatement("SELECT singer_name FROM singer WHERE singer_code IN"
                                       " (SELECT DISTINCT song_singer_code FROM song WHERE song_num = $1)"),
                        {song_num});
}

// ---- The ordering screens' lists -----------------------------------------

// Only the columns and rows the list shows, which its index holds.
Recordset singers_of_sex(CatalogueSession& session, int singer_sex, int limit) {
    return session.rows(StoreStatement("SELECT singer_code, singer_name FROM singer WHERE singer_sex = $1"
                                       " ORDER BY singer_name COLLATE stroke LIMIT $2"),
                        {whole(singer_sex), whole(limit)});
}

Recordset songs_of_singer(CatalogueSession& session, std::int64_t singer_code) {
    return session.rows(StoreStatement("SELECT * FROM song WHERE song_singer_code = $1"
                                       " ORDER BY song_text_count, song_name COLLATE stroke"),
                        {singer_code});
}

// Only the columns the list shows, which the song list's index holds, and
// each song's singer looked up by key in the same query (NULL: no such
// singer). A query per song for the names would cost a frame or two for a
// list of 1,501; one query naming every code, or a join the server may turn
// into hashing every singer and sorting afterwards, costs a server more than
// the list itself. Only as many rows as the list holds: the long titles of a
// large category are several thousand, and reading and sorting all of them
// took longer than a frame.
Recordset songs_of_kind_and_count(CatalogueSession& session, int song_kind, int text_count, int limit) {
#define SONGS_OF_KIND                                                                                \
    "SELECT song_num, song_name, (SELECT coalesce(singer_name, '') FROM singer WHERE singer_code = " \
    "song_singer_code) AS singer_name FROM song WHERE song_kind = $1"
    if (text_count > 9)
        return session.rows(StoreStatement(SONGS_OF_KIND " AND song_text_count > 9"
                                                         " ORDER BY song_text_count, song_name COLLATE stroke"
                                                         " LIMIT $2"),
                            {whole(song_kind), whole(limit)});
    return session.rows(StoreStatement(SONGS_OF_KIND " AND song_text_count = $2"
                                                     " ORDER BY song_name COLLATE stroke LIMIT $3"),
                        {whole(song_kind), whole(text_count), whole(limit)});
#undef SONGS_OF_KIND
}

// ---- Manager mode's searches ---------------------------------------------

Recordset songs_with_similar_title(CatalogueSession& session, const QString& title, int text_count) {
    return session.rows(
        StoreStatement(
            "SELECT * FROM song WHERE " LIKE_FILE("song_name", "$1") " AND song_text_count = $2",
            "SELECT * FROM song WHERE " LIKE_SERVER("song_name", "$1") " AND song_text_count = $2"),
        {starting_with(title), whole(text_count)});
}

Recordset titles_beginning_with(CatalogueSession& session, const QString& title) {
    return session.rows(
        StoreStatement("SELECT DISTINCT song_name, song_num FROM song WHERE " LIKE_FILE("song_name", "$1"),
                       "SELECT DISTINCT song_name, song_num FROM song WHERE " LIKE_SERVER("song_name", "$1")),
        {starting_with(title)});
}

Recordset singers_beginning_with(CatalogueSession& session, const QString& typed) {
    return session.rows(StoreStatement("SELECT * FROM singer WHERE " LIKE_FILE("singer_name", "$1"),
                                       "SELECT * FROM singer WHERE " LIKE_SERVER("singer_name", "$1")),
                        {starting_with(typed)});
}

Recordset songs_matching(CatalogueSession& session, const QString& title_keyword,
                         const QString& singer_keyword, int max_rows) {
#define SONGS_MATCHING(like)                                                                            \
    "SELECT * FROM singer AS a INNER JOIN song AS b ON a.singer_code = b.song_singer_code WHERE " like( \
        "song_name", "$1") " AND " like("singer_name",                                                  \
                                        "$2") " ORDER BY song_text_count, song_name COLLATE stroke"
    return session.rows(StoreStatement(SONGS_MATCHING(LIKE_FILE), SONGS_MATCHING(LIKE_SERVER)),
                        {containing(title_keyword), containing(singer_keyword)}, max_rows);
#undef SONGS_MATCHING
}

Recordset numbers_beginning_with(CatalogueSession& session, const QString& prefix) {
    return session.rows(
        StoreStatement("SELECT song_num FROM song WHERE " LIKE_FILE("song_num", "$1") " ORDER BY song_num",
                       "SELECT song_num FROM song WHERE " LIKE_SERVER("song_num", "$1") " ORDER BY song_num"),
        {starting_with(prefix)});
}

Recordset all_singers_by_code(CatalogueSession& session) {
    return session.rows(StoreStatement("SELECT singer_code, singer_name FROM singer ORDER BY singer_code"));
}

// ---- Manager mode's writes -----------------------------------------------

void add_song(CatalogueSession& session, const SongRow& song) {
    session.run(StoreStatement("INSERT INTO song (song_num, song_kind, song_name, song_text_count,"
                               " song_singer_code, song_build_date, song_location)"
                               " VALUES ($1, $2, $3, $4, $5, $6, $7)"),
                {song.num, whole(song.kind), song.name, whole(song.text_count), whole(song.singer_code),
                 song.build_date, song.location});
}

void add_singer(CatalogueSession& session, const QString& name, int sex) {
    session.run(StoreStatement("INSERT INTO singer (singer_name, singer_sex) VALUES ($1, $2)"),
                {name, whole(sex)});
}

void change_singer(CatalogueSession& session, std::int64_t singer_code, const QString& name, int sex) {
    session.run(StoreStatement("UPDATE singer SET singer_name = $1, singer_sex = $2 WHERE singer_code = $3"),
                {name, whole(sex), singer_code});
}

void delete_singer(CatalogueSession& session, std::int64_t singer_code) {
    session.run(StoreStatement("DELETE FROM singer WHERE singer_code = $1"), {singer_code});
}

void delete_songs_numbered(CatalogueSession& session, const QString& song_num) {
    session.run(StoreStatement("DELETE FROM song WHERE song_num = $1"), {song_num});
}

void rename_songs_numbered(CatalogueSession& session, const QString& song_num, const QString& title) {
    session.run(StoreStatement("UPDATE song SET song_name = $1 WHERE song_num = $2"), {title, song_num});
}

void change_songs_numbered(CatalogueSession& session, const SongRow& song, std::int64_t from_singer_code) {
    session.run(StoreStatement("UPDATE song SET song_kind = $1, song_name = $2, song_text_count = $3,"
                               " song_singer_code = CASE WHEN song_singer_code = $4 THEN $5"
                               " ELSE song_singer_code END,"
                               " song_build_date = $6, song_location = $7 WHERE song_num = $8"),
                {whole(song.kind), song.name, whole(song.text_count), from_singer_code,
                 whole(song.singer_code), song.build_date, song.location, song.num});
}

// ---- The song book and the statistics ------------------------------------

#define CHOSEN_FILE "WHERE " LIKE_FILE("song_name", "$1") " AND song_build_date >= $2"
#define CHOSEN_SERVER "WHERE " LIKE_SERVER("song_name", "$1") " AND song_build_date >= $2"
#define BOOK_ORDER " ORDER BY song_kind, song_text_count, song_name COLLATE stroke"

namespace {

Recordset chosen(CatalogueSession& session, const BookChoice& choice, const StoreStatement& whole_catalogue,
                 const StoreStatement& with_conditions) {
    if (choice.whole_catalogue) return session.rows(whole_catalogue);
    return session.rows(with_conditions, {containing(choice.keyword), choice.from_date});
}

}  // namespace

Recordset book_songs(CatalogueSession& session, const BookChoice& choice) {
    return chosen(session, choice, StoreStatement("SELECT * FROM song" BOOK_ORDER),
                  StoreStatement("SELECT * FROM song " CHOSEN_FILE BOOK_ORDER,
                                 "SELECT * FROM song " CHOSEN_SERVER BOOK_ORDER));
}

// PostgreSQL orders distinct rows only by the columns they hold, and a title
// in stroke order is an expression of its own: the server sorts the distinct
// rows afterwards.
Recordset book_song_numbers(CatalogueSession& session, const BookChoice& choice) {
#define NUMBERS "SELECT DISTINCT song_num, song_name, song_kind, song_text_count FROM song "
#define SORTED_AFTERWARDS(rows) "SELECT * FROM (" rows ") AS chosen" BOOK_ORDER
    return chosen(session, choice, StoreStatement(NUMBERS BOOK_ORDER, SORTED_AFTERWARDS(NUMBERS)),
                  StoreStatement(NUMBERS CHOSEN_FILE BOOK_ORDER, SORTED_AFTERWARDS(NUMBERS CHOSEN_SERVER)));
#undef NUMBERS
#undef SORTED_AFTERWARDS
}

Recordset book_song_singers(CatalogueSession& session, const BookChoice& choice) {
#define SINGERS                                                                                   \
    "SELECT DISTINCT song.song_num, singer.singer_code, singer.singer_name FROM song JOIN singer" \
    " ON singer.singer_code = song.song_singer_code"
#define OF_CHOSEN(condition) " WHERE song.song_num IN (SELECT song_num FROM song " condition ")"
#define SINGER_ORDER " ORDER BY song.song_num, singer.singer_code"
    return chosen(session, choice, StoreStatement(SINGERS SINGER_ORDER),
                  StoreStatement(SINGERS OF_CHOSEN(CHOSEN_FILE) SINGER_ORDER,
                                 SINGERS OF_CHOSEN(CHOSEN_SERVER) SINGER_ORDER));
#undef SINGERS
#undef OF_CHOSEN
#undef SINGER_ORDER
}

#undef CHOSEN_FILE
#undef CHOSEN_SERVER
#undef BOOK_ORDER

Recordset all_singers(CatalogueSession& session) {
    return session.rows(StoreStatement("SELECT singer_code, singer_name FROM singer"));
}

int song_count(CatalogueSession& session) {
    return count_of(session.rows(StoreStatement("SELECT count(*) AS n FROM song")));
}

int song_count_of_kind(CatalogueSession& session, int song_kind) {
    return count_of(session.rows(StoreStatement("SELECT count(*) AS n FROM song WHERE song_kind = $1"),
                                 {whole(song_kind)}));
}

// ---- The phones ------------------------------------------------------------

// The file's rowid and the server's ctid both follow the order the rows
// were stored in.
Recordset songs_for_phones(CatalogueSession& session) {
#define PHONE_SONGS                                                                      \
    "SELECT song.song_num, song.song_kind, song.song_name, singer.singer_name FROM song" \
    " LEFT JOIN singer ON singer.singer_code = song.song_singer_code ORDER BY song.song_num, "
    return session.rows(StoreStatement(PHONE_SONGS "song.rowid", PHONE_SONGS "song.ctid"));
#undef PHONE_SONGS
}

// ---- Copying and checking a whole catalogue --------------------------------

namespace {

template <size_t Count>
QStringList column_names(const std::array<TableColumn, Count>& columns) {
    QStringList names;
    for (const TableColumn& column : columns) names << column.name;
    return names;
}

QStringList columns_of(CatalogueTable table) {
    return table == CatalogueTable::Song ? column_names(kSongColumns) : column_names(kSingerColumns);
}

bool is_number_column(CatalogueTable table, const QString& name) {
    const auto numeric = [&name](const auto& columns) {
        for (const TableColumn& column : columns)
            if (name == column.name) return !column.type || QByteArray(column.type) == "INTEGER";
        return false;
    };
    return table == CatalogueTable::Song ? numeric(kSongColumns) : numeric(kSingerColumns);
}

CatalogueValue value_of(const Recordset& row, CatalogueTable table, const QString& column) {
    const std::string name = column.toStdString();
    if (row.FieldIsNull(name)) return std::monostate();
    if (is_number_column(table, column)) return std::int64_t(row.Field(name).toLongLong());
    return row.Field(name);
}

// "INSERT INTO t (a, b) VALUES ($1, $2), ($3, $4), …" for `rows` rows.
std::string insert_of(CatalogueTable table, int rows) {
    const QStringList columns = columns_of(table);
    QStringList tuples;
    int placeholder = 0;
    for (int r = 0; r < rows; ++r) {
        QStringList marks;
        for (qsizetype c = 0; c < columns.size(); ++c) marks << "$" + QString::number(++placeholder);
        tuples << "(" + marks.join(", ") + ")";
    }
    const QString name = table == CatalogueTable::Song ? "song" : "singer";
    return ("INSERT INTO " + name + " (" + columns.join(", ") + ") VALUES " + tuples.join(", "))
        .toStdString();
}

// Rows written per statement while copying.
constexpr int kRowsPerInsert = 500;

}  // namespace

Recordset every_row(CatalogueSession& session, CatalogueTable table) {
    const QString sql =
        table == CatalogueTable::Song
            ? "SELECT " + columns_of(table).join(", ") + " FROM song ORDER BY song_num, song_singer_code"
            : "SELECT " + columns_of(table).join(", ") + " FROM singer ORDER BY singer_code";
    const std::string text = sql.toStdString();
    return session.rows(StoreStatement(text));
}

void add_rows(CatalogueSession& session, CatalogueTable table, Recordset& rows,
              const std::function<void(int written, int total)>& progress) {
    const QStringList columns = columns_of(table);
    const int total = rows.RecordCount();
    const std::string full_batch = insert_of(table, kRowsPerInsert);
    CatalogueValues values;
    int written = 0;
    const auto flush = [&] {
        const int batch = static_cast<int>(values.size() / static_cast<size_t>(columns.size()));
        if (batch == 0) return;
        const std::string insert = batch == kRowsPerInsert ? full_batch : insert_of(table, batch);
        session.run(StoreStatement(insert), values);
        values.clear();
        written += batch;
        progress(written, total);
    };
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
        for (const QString& column : columns) values.push_back(value_of(rows, table, column));
        if (values.size() == static_cast<size_t>(kRowsPerInsert * columns.size())) flush();
    }
    flush();
}

void delete_every_row(CatalogueSession& session) {
    session.run(StoreStatement("DELETE FROM song"));
    session.run(StoreStatement("DELETE FROM singer"));
}

int singer_row_count(CatalogueSession& session) {
    return count_of(session.rows(StoreStatement("SELECT count(*) AS n FROM singer")));
}

std::int64_t last_singer_code(CatalogueSession& session) {
    const Recordset last = session.rows(
        StoreStatement("SELECT coalesce((SELECT seq FROM sqlite_sequence WHERE name = 'singer'), 0) AS code",
                       "SELECT coalesce(pg_sequence_last_value(pg_get_serial_sequence('singer', "
                       "'singer_code')), 0) AS code"));
    return last.Field("code").toLongLong();
}

// A code that went to a deleted singer may still stand on old song rows or
// printed song books, so it is not given again.
void continue_singer_codes_after(CatalogueSession& session, std::int64_t last_code) {
    if (session.kind() == StoreKind::Server) {
        session.rows(StoreStatement("SELECT setval(pg_get_serial_sequence('singer', 'singer_code'),"
                                    " greatest(max(singer_code), $1)) FROM singer"
                                    " HAVING greatest(max(singer_code), $1) > 0"),
                     {last_code});
        return;
    }
    session.run(StoreStatement("DELETE FROM sqlite_sequence WHERE name = 'singer'"));
    session.run(StoreStatement("INSERT INTO sqlite_sequence (name, seq)"
                               " SELECT 'singer', max(ifnull((SELECT max(singer_code) FROM singer), 0), $1)"),
                {last_code});
}

// A server learns what a bulk-loaded table holds only when its own vacuum
// comes round, a minute or more later; until then it sorts the lists instead
// of reading them in the order of their indexes. Vacuum also marks the pages
// all-visible, so a list is read from its index alone. The file needs
// nothing.
void refresh_statistics(CatalogueSession& session) {
    if (session.kind() == StoreKind::Server) session.run(StoreStatement("VACUUM ANALYZE"));
}

Recordset songs_with_files(CatalogueSession& session) {
    return session.rows(
        StoreStatement("SELECT DISTINCT song_num, song_name, song_location FROM song ORDER BY song_num"));
}

Recordset songs_without_singer(CatalogueSession& session) {
    return session.rows(StoreStatement(
        "SELECT s.song_num, s.song_name, s.song_singer_code FROM song s LEFT JOIN singer g"
        " ON g.singer_code = s.song_singer_code WHERE g.singer_code IS NULL ORDER BY s.song_num"));
}

Recordset singers_without_songs(CatalogueSession& session) {
    return session.rows(StoreStatement(
        "SELECT singer_code, singer_name FROM singer WHERE NOT EXISTS"
        " (SELECT 1 FROM song WHERE song.song_singer_code = singer.singer_code) ORDER BY singer_code"));
}

Recordset files_of_several_numbers(CatalogueSession& session) {
    return session.rows(StoreStatement(
        "SELECT song_location, count(DISTINCT song_num) AS numbers FROM song GROUP BY song_location"
        " HAVING count(DISTINCT song_num) > 1 ORDER BY song_location"));
}
