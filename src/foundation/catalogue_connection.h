#pragma once

// Connections to catalogue files, shared by the store and its schema code.

#include <QString>

#include <memory>

struct sqlite3;

struct SqliteCloser {
    void operator()(sqlite3* db) const;
};
using Connection = std::unique_ptr<sqlite3, SqliteCloser>;

// Opens the file with the stroke collation registered. Only catalogue creation
// passes create = true: a lookup on a missing file must fail, not leave an
// empty catalogue behind.
Connection open_connection(const QString& db_path, bool create);

// Throws the connection's last error as a DatabaseError with SQLite's
// extended result code.
[[noreturn]] void throw_sqlite_error(sqlite3* db);

// Runs SQL that may hold several statements (the schema); throws DatabaseError.
void execute_script(sqlite3* db, const char* sql);
