#include "foundation/catalogue.h"

#include "foundation/catalogue_address.h"
#include "foundation/catalogue_connection.h"
#include "foundation/catalogue_server.h"
#include "foundation/repeated_lines.h"
#include "foundation/session_support.h"
#include "foundation/stroke_collation.h"
#include "platform/log.h"

#include <QFile>
#include <sqlite3.h>

#include <algorithm>
#include <charconv>

namespace {

// This thread's sessions, one per place. Few places are in use at once (the
// catalogue, and a second one while the catalogue tool copies); the one
// used least recently goes when a fifth comes.
class SharedSessions {
public:
    CatalogueSession& of(const QString& place) {
        for (Entry& entry : entries_) {
            if (entry.place == place) {
                entry.last_use = ++uses_;
                return *entry.session;
            }
        }
        if (entries_.size() >= kMaxPlaces)
            entries_.erase(
                std::min_element(entries_.begin(), entries_.end(),
                                 [](const Entry& a, const Entry& b) { return a.last_use < b.last_use; }));
        entries_.push_back({place,
                            is_catalogue_server(place) ? new_server_session(place) : new_file_session(place),
                            ++uses_});
        return *entries_.back().session;
    }
    void close_all() { entries_.clear(); }

private:
    struct Entry {
        QString place;
        std::unique_ptr<CatalogueSession> session;
        std::uint64_t last_use;
    };
    static constexpr size_t kMaxPlaces = 4;
    std::vector<Entry> entries_;
    std::uint64_t uses_ = 0;
};

thread_local SharedSessions shared_sessions;

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && sqlite3_strnicmp(a.data(), b.data(), static_cast<int>(a.size())) == 0;
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

void throw_sqlite_error(sqlite3* db) {
    throw DatabaseError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
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
        throw_sqlite_error(raw);
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

Recordset open_recordset(const QString& sql, const QString& db_path, int max_rows) {
    const QByteArray text = sql.toUtf8();
    return shared_session(db_path).rows(StoreStatement(text.toStdString()), {}, max_rows);
}

void execute_sql(const QString& sql, const QString& db_path) {
    const QByteArray text = sql.toUtf8();
    shared_session(db_path).run(StoreStatement(text.toStdString()));
}

// A failure that repeats (every phone's search while the server is out of
// reach) is logged ten times a minute at most, then with how often it came.
void log_catalogue_failure(const DatabaseError& error, std::string_view sql, const QString& place) {
    static RepeatedLines repeated(std::chrono::minutes(1), 10);
    const QString line = "catalogue error: " + QString::fromUtf8(error.what()) +
                         " | statement: " + QString::fromUtf8(sql.data(), static_cast<qsizetype>(sql.size()));
    if (const std::optional<QString> written = repeated.pass(line, RepeatedLines::Clock::now()))
        qCWarning(lcCatalogue).noquote() << without_password(*written, place);
}

CatalogueSession& shared_session(const QString& place) {
    return shared_sessions.of(place);
}

std::unique_ptr<CatalogueSession> own_session(const QString& place) {
    if (is_catalogue_server(place)) return new_server_session(place);
    return new_file_session(place);
}

void close_kept_connection() {
    shared_sessions.close_all();
}

ReadSnapshot::ReadSnapshot(const QString& db_path)
    : session_(shared_session(db_path)), began_(session_.begin_snapshot()) {}

ReadSnapshot::~ReadSnapshot() {
    if (began_) session_.end_snapshot();
}
