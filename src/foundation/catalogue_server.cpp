#include "foundation/catalogue_server.h"

#include "foundation/catalogue_address.h"
#include "foundation/catalogue_tables.h"
#include "foundation/loudness_store.h"
#include "foundation/session_support.h"
#include "foundation/recordset_builder.h"
#include "foundation/stroke_collation.h"
#include "platform/log.h"

#include <QRegularExpression>
#include <libpq-fe.h>

#include <QSet>

#include <memory>
#include <mutex>
#include <string_view>

namespace {

static_assert(std::string_view(kStrokeCollation) == "stroke", "the schema and statements name the collation");

// Taken by every registration (BEGIN IMMEDIATE) and by the schema creation, so
// two rooms never hand out the same song number nor create the tables twice.
constexpr const char* kWriteLock = "SELECT pg_advisory_xact_lock(7013170346)";

// The collation is ICU's stroke order, the one the program registers on
// SQLite; PostgreSQL's ICU collations are deterministic, so texts ICU ranks
// equal fall back to byte order there too. Catalogues made by earlier
// versions declare it on song_name and singer_name as well, which changes
// nothing: the statements ask for it where they sort.
constexpr const char* kCollation =
    "CREATE COLLATION IF NOT EXISTS stroke (provider = icu, locale = 'zh-u-co-stroke');";

constexpr const char* kIndexes = R"sql(
CREATE INDEX IF NOT EXISTS song_num_index ON song (song_num text_pattern_ops);
CREATE INDEX IF NOT EXISTS song_kind_count_index ON song (song_kind, song_text_count);
CREATE INDEX IF NOT EXISTS song_singer_index ON song (song_singer_code);
CREATE INDEX IF NOT EXISTS song_location_index ON song (song_location);
CREATE INDEX IF NOT EXISTS singer_name_index ON singer (singer_name);
CREATE INDEX IF NOT EXISTS singer_sex_index ON singer (singer_sex);
-- The lists' indexes keep their rows in stroke order, so a list is read in
-- order instead of sorted: sorting a category's 5,000 titles through ICU took
-- 25 ms. They replace the unordered indexes of earlier catalogues.
DROP INDEX IF EXISTS song_list_index;
DROP INDEX IF EXISTS singer_list_index;
CREATE INDEX IF NOT EXISTS song_list_order_index
    ON song (song_kind, song_text_count, song_name COLLATE stroke) INCLUDE (song_num, song_singer_code);
CREATE INDEX IF NOT EXISTS singer_list_order_index
    ON singer (singer_sex, singer_name COLLATE stroke) INCLUDE (singer_code);
CREATE INDEX IF NOT EXISTS song_name_like_index ON song (lower(song_name) text_pattern_ops, song_text_count);
CREATE INDEX IF NOT EXISTS song_num_like_index ON song (lower(song_num) text_pattern_ops);
CREATE INDEX IF NOT EXISTS singer_name_like_index ON singer (lower(singer_name) text_pattern_ops);
)sql";

// A counter that every change of a song or singer row moves on, by any
// room: how the phones' search knows to read the catalogue again without
// reading it all. One statement-level trigger per table; the tables and
// statements of the program never see it.
constexpr const char* kChangeCounter = R"sql(
CREATE TABLE IF NOT EXISTS catalogue_change (generation BIGINT NOT NULL);
INSERT INTO catalogue_change (generation) SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM catalogue_change);
CREATE OR REPLACE FUNCTION note_catalogue_change() RETURNS trigger LANGUAGE plpgsql AS
    'BEGIN UPDATE catalogue_change SET generation = generation + 1; RETURN NULL; END';
DROP TRIGGER IF EXISTS song_change ON song;
CREATE TRIGGER song_change AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON song
    FOR EACH STATEMENT EXECUTE FUNCTION note_catalogue_change();
DROP TRIGGER IF EXISTS singer_change ON singer;
CREATE TRIGGER singer_change AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON singer
    FOR EACH STATEMENT EXECUTE FUNCTION note_catalogue_change();
)sql";

constexpr const char* kChangeStamp = "SELECT generation FROM catalogue_change";

// Whether everything the schema makes is there: asking first lets a user
// without the right to create tables work on a catalogue someone else
// prepared.
constexpr const char* kSchemaPresent = R"sql(
SELECT (SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname IN
        ('song_num_index', 'song_kind_count_index', 'song_singer_index', 'song_location_index',
         'singer_name_index', 'singer_sex_index', 'song_list_order_index', 'singer_list_order_index',
         'song_name_like_index', 'song_num_like_index', 'singer_name_like_index')) = 11
   AND EXISTS (SELECT 1 FROM pg_collation WHERE collname = 'stroke')
   AND (SELECT count(*) FROM pg_trigger WHERE tgname IN ('song_change', 'singer_change')) = 2
   AND EXISTS (SELECT 1 FROM information_schema.columns WHERE table_schema = current_schema()
               AND table_name = 'media_loudness' AND column_name = 'heard_side')
)sql";

constexpr const char* kLoudnessSideColumnPresent = R"sql(
SELECT EXISTS (SELECT 1 FROM information_schema.columns WHERE table_schema = current_schema()
               AND table_name = 'media_loudness' AND column_name = 'heard_side')
)sql";

constexpr const char* kTablesPresent =
    "SELECT to_regclass('song') IS NOT NULL AND to_regclass('singer') IS NOT NULL";

// PostgreSQL's type number of bigint (pg_type.oid).
constexpr Oid kBigintType = 20;

struct ConnectionCloser {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using ServerLink = std::unique_ptr<PGconn, ConnectionCloser>;

struct ResultClearer {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultClearer>;

// libpq's messages end in a line break and may span lines.
std::string message_of(const char* text) {
    return QString::fromUtf8(text).trimmed().replace('\n', ' ').toStdString();
}

Result checked(PGconn* connection, PGresult* raw) {
    Result result(raw);
    const ExecStatusType status = result ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
    if (status == PGRES_EMPTY_QUERY) throw DatabaseError("no SQL statement given");
    // The server's own sentence, as SQLite's message stands alone too; its
    // severity, position and context lines are for a developer's console.
    const char* primary = result ? PQresultErrorField(raw, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    throw DatabaseError(message_of(primary ? primary : PQerrorMessage(connection)));
}

// A statement's values as libpq takes them. Whole numbers go as bigint;
// texts take the type their place in the statement gives them.
class BoundValues {
public:
    explicit BoundValues(const CatalogueValues& values) {
        utf8_.reserve(values.size());
        for (const CatalogueValue& value : values) {
            utf8_.push_back(utf8_of(value));
            // An empty text is a text, not NULL, also when it is a null QString.
            const bool null = std::holds_alternative<std::monostate>(value);
            texts_.push_back(null ? nullptr : utf8_.back().constData());
            types_.push_back(std::holds_alternative<std::int64_t>(value) ? kBigintType : 0);
        }
    }

    int count() const { return static_cast<int>(texts_.size()); }
    const Oid* types() const { return types_.data(); }
    const char* const* texts() const { return texts_.data(); }

private:
    std::vector<QByteArray> utf8_;
    std::vector<const char*> texts_;
    std::vector<Oid> types_;
};

// One statement only, as on SQLite: the extended protocol refuses a second
// one.
Result run_one(PGconn* connection, std::string_view sql, const CatalogueValues& values = {}) {
    const std::string text(sql);
    const BoundValues bound(values);
    return checked(connection, PQexecParams(connection, text.c_str(), bound.count(), bound.types(),
                                            bound.texts(), nullptr, nullptr, 0));
}

// Leaves pipeline mode once every result up to the sync has been read,
// also when reading stopped at an error. A connection that cannot leave it
// is broken, and is closed by its session.
class Pipeline {
public:
    explicit Pipeline(PGconn* connection) : connection_(connection) {
        if (!PQenterPipelineMode(connection)) throw DatabaseError(message_of(PQerrorMessage(connection)));
    }
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;
    ~Pipeline() {
        // What a read left: at most three statements' results, each with
        // its NULL, and the sync.
        for (int left = 8; left > 0 && !PQexitPipelineMode(connection_); --left) {
            if (PQstatus(connection_) != CONNECTION_OK) return;
            PQclear(PQgetResult(connection_));
        }
    }

    void send(std::string_view sql, const BoundValues& bound = BoundValues({})) {
        const std::string text(sql);
        if (!PQsendQueryParams(connection_, text.c_str(), bound.count(), bound.types(), bound.texts(),
                               nullptr, nullptr, 0))
            throw DatabaseError(message_of(PQerrorMessage(connection_)));
    }

    void sync() {
        if (!PQpipelineSync(connection_)) throw DatabaseError(message_of(PQerrorMessage(connection_)));
    }

    // The next statement's result; the NULL that ends it is read too.
    Result next() {
        Result result(PQgetResult(connection_));
        if (result) PQclear(PQgetResult(connection_));
        return result;
    }

private:
    PGconn* connection_;
};

// A read inside a transaction, under a savepoint, so that one that fails is
// undone alone: SAVEPOINT, the statement and RELEASE go to the server in one
// round trip, as a registration reads thousands of times in its transaction.
Result run_one_under_savepoint(PGconn* connection, std::string_view sql, const CatalogueValues& values) {
    Result savepoint;
    Result answer;
    Result release;
    {
        Pipeline pipeline(connection);
        pipeline.send("SAVEPOINT statement");
        pipeline.send(sql, BoundValues(values));
        pipeline.send("RELEASE SAVEPOINT statement");
        pipeline.sync();
        savepoint = pipeline.next();
        answer = pipeline.next();
        release = pipeline.next();
    }
    savepoint = checked(connection, savepoint.release());
    const ExecStatusType status = answer ? PQresultStatus(answer.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        PQclear(PQexec(connection, "ROLLBACK TO SAVEPOINT statement"));
        return checked(connection, answer.release());
    }
    checked(connection, release.release());
    return answer;
}

// Several statements of our own (schema, transaction with its lock).
void run_script(PGconn* connection, const char* sql) {
    checked(connection, PQexec(connection, sql));
}

void ignore_notice(void*, const char*) {
    // "already exists, skipping" and "no transaction in progress" are expected.
}

bool answers_yes(PGconn* connection, const char* question) {
    const Result answer = run_one(connection, question);
    return QByteArray(PQgetvalue(answer.get(), 0, 0)) == "t";
}

void create_schema(PGconn* connection) {
    run_script(connection, "BEGIN");
    try {
        run_script(connection, kWriteLock);
        run_script(connection, kCollation);
        run_script(connection, create_tables_sql(StoreKind::Server, true).c_str());
        run_script(connection, kIndexes);
        run_script(connection, kChangeCounter);
        run_script(connection, kMediaLoudnessTable);
        if (!answers_yes(connection, kLoudnessSideColumnPresent))
            run_script(connection, kMediaLoudnessSideColumn);
        run_script(connection, "COMMIT");
    } catch (const DatabaseError&) {
        PQclear(PQexec(connection, "ROLLBACK"));
        throw;
    }
}

void prepare_schema(PGconn* connection, const QString& uri) {
    if (answers_yes(connection, kSchemaPresent)) return;
    try {
        create_schema(connection);
    } catch (const DatabaseError& error) {
        // A room whose user may not change the tables still orders from a
        // catalogue that lacks an index added by a later version, only more
        // slowly, until the catalogue's owner starts a room.
        if (!answers_yes(connection, kTablesPresent)) throw;
        qCWarning(lcCatalogue).noquote() << "catalogue indexes not brought up to date:"
                                         << without_password(QString::fromUtf8(error.what()), uri);
    }
}

// The catalogues whose schema this process has checked: the connections
// after the first (the phones', each thread's, a reconnection) skip it.
// Start-up's preparation checks again.
std::mutex prepared_guard;
QSet<QString> prepared_catalogues;

void prepare_schema_once(PGconn* connection, const QString& uri) {
    const std::lock_guard lock(prepared_guard);
    if (prepared_catalogues.contains(uri)) return;
    prepare_schema(connection, uri);
    prepared_catalogues.insert(uri);
}

// A server out of reach says so first, in words a guest reads in the few
// characters the ordering screens show; libpq's own message follows.
DatabaseError unreachable(const std::string& message) {
    return DatabaseError("連不上伺服器: " + message);
}

// Every value is bound, but the statements' own literals (the LIKE escape
// character '\') are read as written only with standard strings: a server
// whose sessions start with standard_conforming_strings off would take a
// backslash inside quotes as an escape.
void use_standard_strings(PGconn* connection) {
    const Result result(PQexec(connection, "SET standard_conforming_strings = on"));
    const char* now = PQparameterStatus(connection, "standard_conforming_strings");
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK || !now || std::string_view(now) != "on")
        throw DatabaseError("the catalogue server refused standard_conforming_strings = on: " +
                            message_of(PQerrorMessage(connection)));
}

ServerLink connect_to(const QString& uri) {
    const QByteArray text = uri.toUtf8();
    // An unreachable host would otherwise hold the screen for minutes; the
    // URI's own connect_timeout, coming later, wins.
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"5", "karaoke", text.constData(), nullptr};
    ServerLink link(PQconnectdbParams(keywords, values, 1));
    if (!link) throw DatabaseError("out of memory");
    if (PQstatus(link.get()) != CONNECTION_OK) throw unreachable(message_of(PQerrorMessage(link.get())));
    PQsetNoticeProcessor(link.get(), ignore_notice, nullptr);
    use_standard_strings(link.get());
    if (PQserverVersion(link.get()) < 120000)
        throw DatabaseError("the catalogue server needs PostgreSQL 12 or later");
    prepare_schema_once(link.get(), uri);
    return link;
}

// Every error on its way to the caller, who shows and logs it, loses the
// password: libpq's messages may echo the URI, and the server's may quote
// a statement.
template <typename Work>
auto without_password_in_errors(const QString& uri, Work&& work) {
    try {
        return work();
    } catch (const DatabaseError& error) {
        throw DatabaseError(without_password(QString::fromUtf8(error.what()), uri).toStdString(),
                            error.code());
    }
}

Recordset read_result(PGresult* result, int max_rows) {
    RecordsetBuilder rows;
    const int columns = PQnfields(result);
    for (int c = 0; c < columns; ++c) rows.add_column(PQfname(result, c));
    const int count = max_rows < 0 ? PQntuples(result) : std::min(max_rows, PQntuples(result));
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, r, c)) {
                rows.add_null();
            } else {
                rows.add_value(PQgetvalue(result, r, c), PQgetlength(result, r, c));
            }
        }
        rows.end_row();
    }
    return rows.take();
}

// Keeps its connection open between calls. Inside a transaction every read
// runs under a savepoint, so that one that fails (a search that went wrong
// while a registration holds the write lock) is undone alone and the
// transaction goes on for its owner to finish; the connection is never
// closed while a transaction is open on it, unless the server dropped it.
class ServerSession final : public CatalogueSession {
private:
    PGconn* connection() {
        if (link_ && PQstatus(link_.get()) != CONNECTION_OK) close();
        if (!link_) link_ = connect_to(address_);
        return link_.get();
    }

    template <typename Work>
    auto call(std::string_view sql, bool may_retry, Work&& work) {
        return logged(sql, address_, [&] {
            return without_password_in_errors(address_, [&] { return with_connection(may_retry, work); });
        });
    }

    // A read on a connection that was idle before the call is tried once
    // more on a new connection when the server dropped the old one: a kept
    // connection finds out that the server restarted only when it is used.
    template <typename Work>
    auto with_connection(bool may_retry, Work&& work) {
        const bool reused = link_ && PQtransactionStatus(link_.get()) == PQTRANS_IDLE;
        PGconn* connection = this->connection();
        try {
            return work(connection);
        } catch (const DatabaseError& error) {
            if (PQstatus(connection) != CONNECTION_BAD && PQpipelineStatus(connection) == PQ_PIPELINE_OFF)
                throw;
            close();
            if (!(may_retry && reused)) throw unreachable(error.what());
        }
        return work(this->connection());
    }

public:
    explicit ServerSession(const QString& address) : address_(address) {}

    StoreKind kind() const override { return StoreKind::Server; }

    Recordset rows(const StoreStatement& statement, const CatalogueValues& values, int max_rows) override {
        return call(statement.server, true, [&](PGconn* connection) {
            const Result result = PQtransactionStatus(connection) == PQTRANS_INTRANS
                                      ? run_one_under_savepoint(connection, statement.server, values)
                                      : run_one(connection, statement.server, values);
            return read_result(result.get(), max_rows);
        });
    }

    // A write that fails inside a transaction fails the transaction: its
    // owner is the one writing, and rolls it back.
    void run(const StoreStatement& statement, const CatalogueValues& values) override {
        call(statement.server, false, [&](PGconn* connection) {
            run_one(connection, statement.server, values);
            return Recordset();
        });
    }

    // The advisory lock stands for SQLite's BEGIN IMMEDIATE: held to the
    // end of the transaction by whoever registers songs, in any room.
    void begin_write() override {
        call("BEGIN", false, [](PGconn* connection) {
            run_script(connection, "BEGIN");
            try {
                run_script(connection, kWriteLock);
            } catch (const DatabaseError&) {
                PQclear(PQexec(connection, "ROLLBACK"));
                throw;
            }
            return Recordset();
        });
    }
    void commit() override {
        call("COMMIT", false, [](PGconn* connection) {
            run_script(connection, "COMMIT");
            return Recordset();
        });
    }
    void rollback() noexcept override {
        if (link_) PQclear(PQexec(link_.get(), "ROLLBACK"));
    }

    bool begin_snapshot() noexcept override {
        try {
            snapshot_ = call("BEGIN", true, [](PGconn* connection) {
                if (PQtransactionStatus(connection) != PQTRANS_IDLE) return false;
                run_script(connection, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
                return true;
            });
        } catch (const DatabaseError&) {
            snapshot_ = false;  // the queries meet the same failure and report it
        }
        return snapshot_;
    }
    void end_snapshot() noexcept override {
        if (snapshot_ && link_) PQclear(PQexec(link_.get(), "COMMIT"));
        snapshot_ = false;
    }

    QString change_stamp() override {
        try {
            const Recordset stamp = rows(StoreStatement(kChangeStamp), {}, 1);
            return stamp.Eof() ? QString() : stamp.Field("generation");
        } catch (const DatabaseError&) {
            return {};  // a catalogue without the change counter: read it again
        }
    }

    void close() noexcept override {
        link_.reset();
        snapshot_ = false;
    }

    void prepare() {
        without_password_in_errors(address_, [&] { connection(); });
    }

private:
    QString address_;
    ServerLink link_;
    bool snapshot_ = false;
};
}  // namespace

bool is_catalogue_server(const QString& db_path) {
    // A URI, or libpq's "host=... dbname=..." (no catalogue file is named so).
    static const QRegularExpression address(R"(^(?:postgres(?:ql)?://|\s*[A-Za-z_]+\s*=))",
                                            QRegularExpression::CaseInsensitiveOption);
    return address.match(db_path).hasMatch();
}

std::unique_ptr<CatalogueSession> new_server_session(const QString& address) {
    return std::make_unique<ServerSession>(address);
}

void prepare_server_catalogue(const QString& address) {
    {
        const std::lock_guard lock(prepared_guard);
        prepared_catalogues.remove(address);
    }
    ServerSession(address).prepare();
}
