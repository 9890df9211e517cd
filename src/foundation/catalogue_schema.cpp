#include "foundation/catalogue.h"

#include "foundation/catalogue_connection.h"
#include "foundation/catalogue_server.h"
#include "foundation/stroke_collation.h"
#include "platform/log.h"

#include <QFile>
#include <QFileInfo>

#include <string_view>

namespace {

static_assert(std::string_view(kStrokeCollation) == "stroke", "the schema below names the collation");

// singer_code is assigned by the database and never reused, so songs of a
// deleted singer cannot pass to a new one. song_num has no unique index: a song
// with several singers is one row per singer under one number.
// No index uses the stroke collation: the file stays writable by tools that
// lack it (the sqlite3 shell), and the singer-name index is in byte order.
constexpr const char* kSchema = R"sql(
BEGIN;
CREATE TABLE song (
    song_num TEXT,
    song_kind INTEGER,
    song_name TEXT COLLATE stroke,
    song_text_count INTEGER,
    song_singer_code INTEGER,
    song_build_date TEXT,
    song_location TEXT
);
CREATE TABLE singer (
    singer_code INTEGER PRIMARY KEY AUTOINCREMENT,
    singer_name TEXT COLLATE stroke,
    singer_sex INTEGER
);
CREATE INDEX song_num_index ON song (song_num);
CREATE INDEX song_kind_count_index ON song (song_kind, song_text_count);
CREATE INDEX song_singer_index ON song (song_singer_code);
CREATE INDEX song_location_index ON song (song_location);
CREATE INDEX singer_name_index ON singer (singer_name COLLATE BINARY);
CREATE INDEX singer_sex_index ON singer (singer_sex);
COMMIT;
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

// Built under another name and renamed into place, so a failed creation never
// leaves a half-made file that the next start would take for the catalogue.
void create_catalogue(const QString& db_path) {
    const QString building = db_path + ".new";
    QFile::remove(building);
    try {
        Connection db = open_connection(building, true);
        execute_script(db.get(), kSchema);
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

}  // namespace

void drop_song_primary_key(const QString& db_path) {
    try {
        // Gone after the first start: asking first keeps every later start
        // from logging a failed drop.
        const Recordset key = open_recordset(
            "SELECT name FROM sqlite_master WHERE type = 'index' AND name = 'PrimaryKey' COLLATE NOCASE"
            " AND tbl_name = 'song' COLLATE NOCASE",
            db_path);
        if (!key.Eof()) execute_sql("DROP INDEX PrimaryKey  on song ", db_path);
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
    add_lookup_indexes(db_path);
}
