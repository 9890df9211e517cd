#include "foundation/catalogue.h"

#include "foundation/catalogue_connection.h"
#include "foundation/catalogue_server.h"
#include "foundation/catalogue_session.h"
#include "foundation/catalogue_tables.h"
#include "foundation/loudness_store.h"
#include "platform/log.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <string_view>

namespace {

// song_num has no unique index: a song with several singers is one row per
// singer under one number. No index uses the stroke collation either, so the
// file stays writable by tools that lack it (the sqlite3 shell); the
// singer-name index is in byte order.
constexpr const char* kIndexes = R"sql(
CREATE INDEX song_num_index ON song (song_num);
CREATE INDEX song_kind_count_index ON song (song_kind, song_text_count);
CREATE INDEX song_singer_index ON song (song_singer_code);
CREATE INDEX song_location_index ON song (song_location);
CREATE INDEX singer_name_index ON singer (singer_name COLLATE BINARY);
CREATE INDEX singer_sex_index ON singer (singer_sex);
)sql";

// The indexes that serve "LIKE 'prefix%'": SQLite's LIKE ignores the case of
// ASCII letters, so only an index in NOCASE order answers it (the stroke
// collation of song_name plays no part in LIKE). The similar-title test asks
// for a title prefix and a length, new song numbers for a number prefix.
// Catalogues made before they existed get them at the next start.
constexpr const char* kLikeIndexes = R"sql(
CREATE INDEX IF NOT EXISTS song_name_count_index ON song (song_name COLLATE NOCASE, song_text_count);
CREATE INDEX IF NOT EXISTS song_num_like_index ON song (song_num COLLATE NOCASE);
)sql";

// The indexes that hold everything a list of a category or of singers
// shows, so that a list is read from its index alone: reading its rows from
// the table, scattered all over the file, cost more than a frame for the
// largest categories. Catalogues made before they existed get them at the
// next start.
constexpr const char* kListIndexes = R"sql(
CREATE INDEX IF NOT EXISTS song_list_index
    ON song (song_kind, song_text_count, song_name COLLATE BINARY, song_num, song_singer_code);
CREATE INDEX IF NOT EXISTS singer_list_index ON singer (singer_sex, singer_name COLLATE BINARY);
)sql";

// Whether the question's count (its first column) is above 0; false when
// it cannot be asked.
bool counts_any(sqlite3* db, const char* question) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, question, -1, &raw, nullptr) != SQLITE_OK) return false;
    const bool any = sqlite3_step(raw) == SQLITE_ROW && sqlite3_column_int(raw, 0) > 0;
    sqlite3_finalize(raw);
    return any;
}

void add_lookup_indexes(sqlite3* db) {
    execute_script(db, kLikeIndexes);
    execute_script(db, kListIndexes);
}

void add_lookup_indexes(const QString& db_path) {
    try {
        Connection db = open_connection(db_path, false);
        add_lookup_indexes(db.get());
    } catch (const DatabaseError&) {
        // A catalogue that is busy or read-only works without them, only slower.
    }
}

constexpr const char* kLoudnessSideColumnPresent =
    "SELECT count(*) FROM pragma_table_info('media_loudness') WHERE name = 'heard_side'";

// The songs' measured loudness, which the songs' own tables and statements
// never see; catalogues made before it existed get it at the next start.
void add_loudness_table(const QString& db_path) {
    try {
        Connection db = open_connection(db_path, false);
        execute_script(db.get(), kMediaLoudnessTable);
        // A failure leaves the transaction to the connection's closing.
        if (!counts_any(db.get(), kLoudnessSideColumnPresent)) {
            execute_script(db.get(), "BEGIN");
            execute_script(db.get(), kMediaLoudnessSideColumn);
            execute_script(db.get(), "COMMIT");
        }
    } catch (const DatabaseError&) {
        // Busy or read-only: songs play unmeasured until a start can add it.
    }
}

// Built under another name and renamed into place, so a failed creation never
// leaves a half-made file that the next start would take for the catalogue.
void create_catalogue(const QString& db_path) {
    const QString building = db_path + ".new";
    QFile::remove(building);
    try {
        Connection db = open_connection(building, true);
        const std::string schema =
            "BEGIN;\n" + create_tables_sql(StoreKind::File, false) + kIndexes + "COMMIT;";
        execute_script(db.get(), schema.c_str());
        add_lookup_indexes(db.get());
    } catch (const DatabaseError&) {
        QFile::remove(building);
        throw;
    }
    if (!QFile::rename(building, db_path)) {
        QFile::remove(building);
        throw DatabaseError("unable to create " + db_path.toStdString());
    }
}

// Catalogues made by earlier versions declare the stroke collation on
// song_name and singer_name, which no other SQLite tool knows: the sqlite3
// shell could not even compare a name. Their tables are made again without
// it, in one transaction, keeping every row with its rowid (the order the
// songs were stored in), every singer code and the highest code ever given.
constexpr const char* kCollatedTables =
    "SELECT count(*) AS tables FROM sqlite_master WHERE type = 'table' AND name IN ('song', 'singer')"
    " AND sql LIKE '%COLLATE stroke%'";

constexpr const char* kSetCollatedTablesAside = R"sql(
ALTER TABLE song RENAME TO song_collated;
ALTER TABLE singer RENAME TO singer_collated;
)sql";

constexpr const char* kCopyRows = R"sql(
INSERT INTO song (rowid, song_num, song_kind, song_name, song_text_count, song_singer_code, song_build_date,
                  song_location)
    SELECT rowid, song_num, song_kind, song_name, song_text_count, song_singer_code, song_build_date,
           song_location FROM song_collated;
INSERT INTO singer (singer_code, singer_name, singer_sex)
    SELECT singer_code, singer_name, singer_sex FROM singer_collated;
INSERT INTO sqlite_sequence (name, seq)
    SELECT 'singer', 0 WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = 'singer');
UPDATE sqlite_sequence SET seq = (SELECT max(seq) FROM sqlite_sequence WHERE name IN ('singer', 'singer_collated'))
    WHERE name = 'singer';
DROP TABLE song_collated;
DROP TABLE singer_collated;
)sql";

bool declares_stroke_collation(sqlite3* db) {
    return counts_any(db, kCollatedTables);
}

void remove_stroke_collation_from_tables(sqlite3* db) {
    // Appended piece by piece: GCC 12 at -O2 warns of a false overflow in the
    // same sum written with operator+.
    std::string conversion = "BEGIN IMMEDIATE;\n";
    conversion.append(kSetCollatedTablesAside).append(create_tables_sql(StoreKind::File, false));
    conversion.append(kCopyRows).append(kIndexes);
    try {
        execute_script(db, conversion.c_str());
        add_lookup_indexes(db);
        execute_script(db, "COMMIT");
    } catch (const DatabaseError&) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void convert_earlier_catalogue(const QString& db_path) {
    try {
        Connection db = open_connection(db_path, false);
        if (!declares_stroke_collation(db.get())) return;
        remove_stroke_collation_from_tables(db.get());
        qCInfo(lcCatalogue).noquote()
            << "catalogue tables no longer declare the stroke collation:" << db_path;
    } catch (const DatabaseError& error) {
        // Busy or read-only: it stays as it is and works; the next start tries again.
        qCWarning(lcCatalogue).noquote() << "catalogue not converted:" << error.what();
    }
}

}  // namespace

void drop_song_primary_key(const QString& db_path) {
    try {
        // Gone after the first start: asking first keeps every later start
        // from logging a failed drop.
        CatalogueSession& session = shared_session(db_path);
        const Recordset key = session.rows(StoreStatement(
            "SELECT name FROM sqlite_master WHERE type = 'index' AND name = 'PrimaryKey' COLLATE NOCASE"
            " AND tbl_name = 'song' COLLATE NOCASE"));
        if (!key.Eof()) session.run(StoreStatement("DROP INDEX \"" + key.Field("name").toStdString() + "\""));
    } catch (const DatabaseError&) {
        // Already gone, or the catalogue is busy: the next start tries again.
    }
}

void prepare_catalogue(const QString& db_path) {
    if (is_catalogue_server(db_path)) {
        try {
            prepare_server_catalogue(db_path);
        } catch (const DatabaseError& error) {
            qCWarning(lcCatalogue).noquote() << "catalogue server:" << error.what();
        }
        return;
    }
    if (!QFileInfo::exists(db_path)) {
        try {
            create_catalogue(db_path);
        } catch (const DatabaseError&) {
            // The lookups report the missing catalogue when they are used.
        }
    }
    drop_song_primary_key(db_path);
    convert_earlier_catalogue(db_path);
    add_lookup_indexes(db_path);
    add_loudness_table(db_path);
}
