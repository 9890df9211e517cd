#pragma once

// The catalogue store with tables `song` and `singer`: the SQLite file
// karaoke.db, or a PostgreSQL server shared by several rooms
// (foundation/catalogue_server.h). The catalogue's place is the database
// file's path or the server's connection text. Windows use the catalogue's
// named operations (foundation/catalogue_operations.h), which run on a
// session (foundation/catalogue_session.h); this header holds what they
// share.

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A failure of the database (missing or locked file, full disk, bad SQL, a
// server out of reach). what() is SQLite's or PostgreSQL's own message;
// code() SQLite's extended result code (1 for the server).
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const std::string& message, int code = 1)
        : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// The complete result of a query (or its first rows, when the caller said how
// many), read before open_recordset returns, so its row count is exact and no
// connection or lock is held while it is used.
// A fresh record set stands on its first row.
class Recordset {
public:
    int RecordCount() const { return row_count_; }
    bool Eof() const { return position_ >= row_count_; }
    void MoveFirst() { position_ = 0; }
    void MoveNext() {
        if (!Eof()) ++position_;
    }

    // Field of the current row by column name (case-insensitive, as the SQL
    // texts spell names freely). NULL reads as an empty text or 0. An unknown
    // name, or reading at EOF, throws DatabaseError.
    QString Field(std::string_view name) const;
    int FieldInt(std::string_view name) const;
    bool FieldIsNull(std::string_view name) const;

private:
    friend class RecordsetBuilder;
    struct Cell {
        std::uint32_t offset;
        std::int32_t length;  // -1 for NULL
    };
    const Cell& cell(std::string_view name) const;

    std::vector<std::string> columns_;
    std::string text_;         // every value's UTF-8 text, one after the other
    std::vector<Cell> cells_;  // row by row
    int row_count_ = 0;
    int position_ = 0;
};

// Runs one statement as written, without values, on this thread's session
// of the place: for tests, benchmarks and hand-made checks, never for the
// program's own work. Nothing is translated between the stores.
Recordset open_recordset(const QString& sql, const QString& db_path, int max_rows = -1);
void execute_sql(const QString& sql, const QString& db_path);

// How calls reach the file. KeptOpen (the default) keeps one connection per
// thread for the last path used and reopens it when the file at that path is
// replaced or removed; PerCall opens and closes a connection for every call.
// Both give the same results; KeptOpen is about four times faster per lookup
// and ten times faster for a list with a lookup per row.
enum class ConnectionMode { KeptOpen, PerCall };
void set_connection_mode(ConnectionMode mode);

// Closes every connection this thread keeps.
void close_kept_connection();

// While it lives, this thread's session holds one read transaction on db_path:
// the queries made meanwhile see one state of the catalogue and skip taking
// the file lock again each time (a list with a lookup per row runs about twice
// as fast). Does nothing in PerCall mode; errors show up in the queries.
class ReadSnapshot {
public:
    explicit ReadSnapshot(const QString& db_path);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    class CatalogueSession& session_;
    bool began_;
};

// Removes the unique index "PrimaryKey" an imported catalogue may carry on
// song_num, so that several rows may share one number. Silent on every error.
void drop_song_primary_key(const QString& db_path);

// Start-up's catalogue preparation: creates karaoke.db with the schema when no
// file is there, then drop_song_primary_key; on a server, connects, which
// creates what is missing. Never throws: a catalogue that cannot be prepared
// shows up as errors of the lookups later.
void prepare_catalogue(const QString& db_path);
