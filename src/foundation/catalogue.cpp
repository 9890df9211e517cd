#include "foundation/catalogue.h"

#include "foundation/catalogue_address.h"
#include "foundation/catalogue_connection.h"
#include "foundation/catalogue_server.h"
#include "foundation/recordset_builder.h"
#include "foundation/stroke_collation.h"
#include "platform/log.h"

#include <QFile>
#include <QRegularExpression>
#include <sqlite3.h>
#include <sys/stat.h>

#include <charconv>
#include <optional>

namespace {

[[noreturn]] void throw_error(sqlite3* db) {
    throw DatabaseError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
}

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Exactly one statement per call: Jet refuses a second one too, and running
// text after the first that the caller never meant to run would be unsafe.
Statement prepare_one(sqlite3* db, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    const char* end = text.constData() + text.size();
    const char* tail = nullptr;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &raw, &tail) != SQLITE_OK)
        throw_error(db);
    Statement statement(raw);
    if (!statement) throw DatabaseError("no SQL statement given");
    sqlite3_stmt* next = nullptr;
    if (sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &next, nullptr) != SQLITE_OK || next) {
        sqlite3_finalize(next);
        throw DatabaseError("only one SQL statement may be given at a time");
    }
    return statement;
}

void run_statement(sqlite3* db, const QString& sql) {
    Statement statement = prepare_one(db, sql);
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) throw_error(db);
}

struct FileIdentity {
    dev_t device;
    ino_t inode;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identity_of(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

// The connection kept open for the catalogue used last. It is checked against
// the file at its path before every use: a catalogue that was deleted or
// replaced (tests do both) must not go on answering from the old file.
class KeptConnection {
public:
    sqlite3* get(const QString& db_path) {
        // Inside a transaction (a ReadSnapshot) the connection stays: reopening
        // would drop the transaction, and it reads one state of the file anyway.
        if (db_ && db_path == path_ && !sqlite3_get_autocommit(db_.get())) return db_.get();
        const std::optional<FileIdentity> identity = identity_of(db_path);
        if (db_ && (db_path != path_ || identity != identity_)) close();
        if (!db_) {
            db_ = open_connection(db_path, false);
            path_ = db_path;
            identity_ = identity;
            ++generation_;
        }
        return db_.get();
    }
    sqlite3* current() const { return db_.get(); }
    // Tells one opening from the next, even at the same address.
    std::uint64_t generation() const { return db_ ? generation_ : 0; }
    void close() {
        db_.reset();
        path_.clear();
        identity_.reset();
    }

private:
    Connection db_;
    QString path_;
    std::optional<FileIdentity> identity_;
    std::uint64_t generation_ = 0;
};

// One per thread, so a connection is never shared between threads.
thread_local KeptConnection kept_connection;
thread_local ConnectionMode current_mode = ConnectionMode::KeptOpen;

template <typename Work>
auto with_connection(const QString& db_path, Work&& work) {
    if (current_mode == ConnectionMode::PerCall) {
        Connection db = open_connection(db_path, false);
        return work(db.get());
    }
    sqlite3* db = kept_connection.get(db_path);
    try {
        return work(db);
    } catch (const DatabaseError&) {
        kept_connection.close();  // start the next call afresh, whatever state the failure left
        throw;
    }
}

// Runs the work of one statement; a failure is logged with the statement and
// passed on to the caller, who shows it. The line never holds a server's
// password, even where a statement quotes it.
template <typename Work>
auto logging_failure(const QString& sql, const QString& db_path, Work&& work) {
    try {
        return work();
    } catch (const DatabaseError& error) {
        const QString line = "catalogue error: " + QString::fromUtf8(error.what()) + " | statement: " + sql;
        qCWarning(lcCatalogue).noquote() << without_password(line, db_path);
        throw;
    }
}

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && sqlite3_strnicmp(a.data(), b.data(), static_cast<int>(a.size())) == 0;
}

}  // namespace

namespace {

Recordset read_rows(sqlite3* db, sqlite3_stmt* statement, int max_rows = -1) {
    RecordsetBuilder result;
    const int columns = sqlite3_column_count(statement);
    for (int c = 0; c < columns; ++c) result.add_column(sqlite3_column_name(statement, c));
    if (max_rows == 0) return result.take();
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_NULL) {
                result.add_null();
            } else {
                result.add_value(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                 sqlite3_column_bytes(statement, c));
            }
        }
        if (result.end_row() == max_rows) return result.take();
    }
    if (rc != SQLITE_DONE) throw_error(db);
    return result.take();
}

}  // namespace

const Recordset::Cell& Recordset::cell(std::string_view name) const {
    if (Eof()) throw DatabaseError("no current row: the record set is at its end");
    const size_t columns = columns_.size();
    for (size_t c = 0; c < columns; ++c) {
        if (same_name(columns_[c], name)) return cells_[static_cast<size_t>(position_) * columns + c];
    }
    throw DatabaseError("no such field: " + std::string(name));
}

QString Recordset::Field(std::string_view name) const {
    const Cell& value = cell(name);
    if (value.length < 0) return {};
    return QString::fromUtf8(text_.data() + value.offset, value.length);
}

bool Recordset::FieldIsNull(std::string_view name) const {
    return cell(name).length < 0;
}

int Recordset::FieldInt(std::string_view name) const {
    const Cell& value = cell(name);
    int number = 0;
    if (value.length > 0) {
        const char* begin = text_.data() + value.offset;
        std::from_chars(begin, begin + value.length, number);
    }
    return number;
}

void SqliteCloser::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

Connection open_connection(const QString& db_path, bool create) {
    // SQLite takes an empty name for a private temporary database; for us it is no catalogue.
    if (db_path.isEmpty()) throw DatabaseError("unable to open database file", SQLITE_CANTOPEN);
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(db_path).constData(), &raw, flags, nullptr);
    Connection db(raw);
    if (rc != SQLITE_OK) {
        if (!raw) throw DatabaseError(sqlite3_errstr(rc), rc);
        throw_error(raw);
    }
    sqlite3_extended_result_codes(raw, 1);
    register_stroke_collation(raw);
    // SQLite's default cache of 2 MB holds a fraction of a large catalogue,
    // and a list of a category reads rows from all over the file: every miss
    // is a read from the system, which made a list of 1,500 songs cost 9 ms
    // instead of 3. The cache grows only with what is read.
    sqlite3_exec(raw, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
    return db;
}

void execute_script(sqlite3* db, const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return;
    const std::string text = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    qCWarning(lcCatalogue).noquote() << "catalogue error:" << text.c_str() << "| script:" << sql;
    throw DatabaseError(text, rc);
}

Recordset open_recordset(const QString& sql, const QString& db_path) {
    return open_recordset(sql, db_path, -1);
}

Recordset open_recordset(const QString& sql, const QString& db_path, int max_rows) {
    return logging_failure(sql, db_path, [&] {
        if (is_catalogue_server(db_path)) return server_open_recordset(sql, db_path, max_rows);
        return with_connection(db_path, [&](sqlite3* db) {
            Statement statement = prepare_one(db, sql);
            return read_rows(db, statement.get(), max_rows);
        });
    });
}

namespace {

// Jet names the table of the index to drop; SQLite's index names are unique
// in the file and its DROP INDEX names no table.
void drop_index_of_table(sqlite3* db, const QString& index, const QString& table) {
    Statement find =
        prepare_one(db,
                    "SELECT name FROM sqlite_master WHERE type = 'index'"
                    " AND name = '" +
                        index + "' COLLATE NOCASE AND tbl_name = '" + table + "' COLLATE NOCASE");
    const Recordset found = read_rows(db, find.get());
    if (found.Eof()) throw DatabaseError("no such index: " + index.toStdString());
    run_statement(db, "DROP INDEX \"" + found.Field("name") + "\"");
}

const QRegularExpression& jet_drop_index() {
    static const QRegularExpression pattern(R"(^\s*DROP\s+INDEX\s+(\w+)\s+ON\s+(\w+)\s*;?\s*$)",
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

}  // namespace

void execute_sql(const QString& sql, const QString& db_path) {
    logging_failure(sql, db_path, [&] {
        if (is_catalogue_server(db_path)) return server_execute_sql(sql, db_path);
        with_connection(db_path, [&](sqlite3* db) {
            const QRegularExpressionMatch jet = jet_drop_index().match(sql);
            if (jet.hasMatch()) {
                drop_index_of_table(db, jet.captured(1), jet.captured(2));
            } else {
                run_statement(db, sql);
            }
        });
    });
}

void set_connection_mode(ConnectionMode mode) {
    current_mode = mode;
    if (mode == ConnectionMode::PerCall) kept_connection.close();
}

void close_kept_connection() {
    kept_connection.close();
    close_server_connection();
}

ReadSnapshot::ReadSnapshot(const QString& db_path) : on_server_(is_catalogue_server(db_path)) {
    if (on_server_) {
        generation_ = begin_server_snapshot(db_path);
        return;
    }
    if (current_mode != ConnectionMode::KeptOpen) return;
    try {
        sqlite3* db = kept_connection.get(db_path);
        if (sqlite3_get_autocommit(db) && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
            generation_ = kept_connection.generation();
    } catch (const DatabaseError&) {
        // The queries meet the same failure and report it.
    }
}

ReadSnapshot::~ReadSnapshot() {
    if (on_server_) {
        end_server_snapshot(generation_);
        return;
    }
    // A failed query closes the kept connection, and its transaction with it.
    if (generation_ != 0 && kept_connection.generation() == generation_)
        sqlite3_exec(kept_connection.current(), "COMMIT", nullptr, nullptr, nullptr);
}
