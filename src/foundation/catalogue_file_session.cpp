// The session of a catalogue file (karaoke.db).

#include "foundation/catalogue_connection.h"
#include "foundation/recordset_builder.h"
#include "foundation/session_support.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <sqlite3.h>
#include <sys/stat.h>

#include <optional>
#include <string>

namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

Statement prepare_one(sqlite3* db, std::string_view sql) {
    const char* end = sql.data() + sql.size();
    const char* tail = nullptr;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &tail) != SQLITE_OK)
        throw_sqlite_error(db);
    Statement statement(raw);
    if (!statement) throw DatabaseError("no SQL statement given");
    sqlite3_stmt* next = nullptr;
    if (sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &next, nullptr) != SQLITE_OK || next) {
        sqlite3_finalize(next);
        throw DatabaseError("only one SQL statement may be given at a time");
    }
    return statement;
}

// Binds value i to "$i", wherever the statement names it first.
void bind_values(sqlite3* db, sqlite3_stmt* statement, const CatalogueValues& values) {
    if (sqlite3_bind_parameter_count(statement) != static_cast<int>(values.size()))
        throw DatabaseError("the statement's placeholders and its values differ in number");
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string name = "$" + std::to_string(i + 1);
        const int at = sqlite3_bind_parameter_index(statement, name.c_str());
        if (at == 0) throw DatabaseError("the statement has no placeholder " + name);
        int rc;
        if (const auto* text = std::get_if<QString>(&values[i])) {
            const QByteArray utf8 = text->toUtf8();
            rc = sqlite3_bind_text(statement, at, utf8.constData(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
        } else if (const auto* number = std::get_if<std::int64_t>(&values[i])) {
            rc = sqlite3_bind_int64(statement, at, *number);
        } else {
            rc = sqlite3_bind_null(statement, at);
        }
        if (rc != SQLITE_OK) throw_sqlite_error(db);
    }
}

Recordset read_rows(sqlite3* db, sqlite3_stmt* statement, int max_rows) {
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
    if (rc != SQLITE_DONE) throw_sqlite_error(db);
    return result.take();
}

void step_to_end(sqlite3* db, sqlite3_stmt* statement) {
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) throw_sqlite_error(db);
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

thread_local ConnectionMode current_mode = ConnectionMode::KeptOpen;

// How long a connection waits for another connection's write to the file to
// end before it reports the catalogue busy: the loudness measurement writes
// from a worker thread while the windows register songs and guests order.
// The windows' thread waits a second at most, with someone in front of the
// screen: the measurement's writes last milliseconds, but a commit's fsync
// took up to a quarter of a second on a busy disk. A worker waits out a
// registration's transaction of a few hundred songs.
int busy_wait_ms() {
    const QCoreApplication* application = QCoreApplication::instance();
    const bool windows_thread = application && QThread::currentThread() == application->thread();
    return windows_thread ? 1000 : 5000;
}

Connection open_waiting(const QString& path) {
    Connection db = open_connection(path, false);
    sqlite3_busy_timeout(db.get(), busy_wait_ms());
    return db;
}

// Keeps its connection open between calls (unless this thread asked for a
// connection per call) and opens it again when the file at its path was
// replaced or removed, but never in the middle of a transaction.
class FileSession final : public CatalogueSession {
private:
    bool in_transaction() const { return db_ && !sqlite3_get_autocommit(db_.get()); }

    sqlite3* connection() {
        if (in_transaction()) return db_.get();
        const std::optional<FileIdentity> identity = identity_of(path_);
        if (db_ && identity != identity_) close();
        if (!db_) {
            db_ = open_waiting(path_);
            identity_ = identity;
        }
        return db_.get();
    }

    // After a failure outside a transaction the next call starts afresh,
    // whatever state the failure left; inside one the connection stays,
    // with the transaction, for its owner to finish.
    template <typename Work>
    auto with_statement(const StoreStatement& statement, const CatalogueValues& values, Work&& work) {
        return logged(statement.file, path_, [&] {
            if (current_mode == ConnectionMode::PerCall && !in_transaction()) {
                Connection own = open_waiting(path_);
                return prepared(own.get(), statement, values, work);
            }
            sqlite3* db = connection();
            try {
                return prepared(db, statement, values, work);
            } catch (const DatabaseError&) {
                if (!in_transaction()) close();
                throw;
            }
        });
    }

    template <typename Work>
    static auto prepared(sqlite3* db, const StoreStatement& statement, const CatalogueValues& values,
                         Work&& work) {
        Statement compiled = prepare_one(db, statement.file);
        bind_values(db, compiled.get(), values);
        return work(db, compiled.get());
    }

    void script(const char* sql) {
        logged(sql, path_, [&] {
            sqlite3* db = connection();
            if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw_sqlite_error(db);
        });
    }

public:
    explicit FileSession(const QString& path) : path_(path) {}

    StoreKind kind() const override { return StoreKind::File; }

    Recordset rows(const StoreStatement& statement, const CatalogueValues& values, int max_rows) override {
        return with_statement(statement, values, [&](sqlite3* db, sqlite3_stmt* prepared) {
            return read_rows(db, prepared, max_rows);
        });
    }

    void run(const StoreStatement& statement, const CatalogueValues& values) override {
        with_statement(statement, values, step_to_end);
    }

    void begin_write() override { script("BEGIN IMMEDIATE"); }
    void commit() override { script("COMMIT"); }
    void rollback() noexcept override {
        if (db_) sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }

    bool begin_snapshot() noexcept override {
        if (current_mode != ConnectionMode::KeptOpen) return false;
        try {
            sqlite3* db = connection();
            snapshot_ = sqlite3_get_autocommit(db) &&
                        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
        } catch (const DatabaseError&) {
            snapshot_ = false;  // the queries meet the same failure and report it
        }
        return snapshot_;
    }
    void end_snapshot() noexcept override {
        if (snapshot_ && db_) sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr);
        snapshot_ = false;
    }

    // The file's identity, size and time of change: every commit writes it.
    QString change_stamp() override {
        struct stat info {};
        if (::stat(QFile::encodeName(path_).constData(), &info) != 0) return {};
        return QString("%1:%2:%3:%4.%5")
            .arg(info.st_dev)
            .arg(info.st_ino)
            .arg(info.st_size)
            .arg(info.st_mtim.tv_sec)
            .arg(info.st_mtim.tv_nsec);
    }

    void close() noexcept override {
        db_.reset();
        identity_.reset();
        snapshot_ = false;
    }

private:
    QString path_;
    Connection db_;
    std::optional<FileIdentity> identity_;
    bool snapshot_ = false;
};

}  // namespace

std::unique_ptr<CatalogueSession> new_file_session(const QString& path) {
    return std::make_unique<FileSession>(path);
}

void set_connection_mode(ConnectionMode mode) {
    current_mode = mode;
    if (mode == ConnectionMode::PerCall) close_kept_connection();
}
