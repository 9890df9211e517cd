#pragma once

// A connection to the catalogue, on either store: the SQLite file karaoke.db
// or a PostgreSQL server shared by the rooms of a venue. The catalogue's
// operations (foundation/catalogue_operations.h) run their statements
// through it; windows never do.
//
// Statements name their values $1, $2, … and every value is bound, never
// spliced into the text: both stores read "$1" as the first placeholder.
// Where the stores' SQL differs, a statement carries one text for each.

#include "foundation/catalogue.h"
#include "foundation/catalogue_tables.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

// A value bound to a placeholder: NULL, a whole number or a text.
using CatalogueValue = std::variant<std::monostate, std::int64_t, QString>;
using CatalogueValues = std::vector<CatalogueValue>;

// One statement as each store reads it.
struct StoreStatement {
    constexpr StoreStatement(std::string_view both) : file(both), server(both) {}
    constexpr StoreStatement(std::string_view file_text, std::string_view server_text)
        : file(file_text), server(server_text) {}
    std::string_view file;
    std::string_view server;
};

class CatalogueSession {
public:
    virtual ~CatalogueSession() = default;

    // For the few statements that have no common form on both stores.
    virtual StoreKind kind() const = 0;

    // The rows of a query, the first max_rows of them when max_rows >= 0.
    virtual Recordset rows(const StoreStatement& statement, const CatalogueValues& values = {},
                           int max_rows = -1) = 0;
    // Runs an insert, update or delete.
    virtual void run(const StoreStatement& statement, const CatalogueValues& values = {}) = 0;

    // A transaction holding the catalogue's write lock from its start, so
    // that two rooms never hand out one song number. A statement that fails
    // inside it leaves it open for its owner to commit or roll back.
    virtual void begin_write() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;

    // A read-only transaction in which every query sees one state of the
    // catalogue; false when a transaction is open already (the queries then
    // belong to that one) or the store could not be reached.
    virtual bool begin_snapshot() noexcept = 0;
    virtual void end_snapshot() noexcept = 0;

    // Changes whenever a row of the catalogue changes, by any room; empty
    // when it cannot tell (the caller then reads again).
    virtual QString change_stamp() = 0;

    // Closes the connection; the next call opens a new one.
    virtual void close() noexcept = 0;
};

// This thread's connection to the catalogue at `place` (a file path or a
// server's connection text), kept open between calls: what the windows use.
CatalogueSession& shared_session(const QString& place);

// A connection of the caller's own, for a reader that must not share the
// windows' transactions (the phones).
std::unique_ptr<CatalogueSession> own_session(const QString& place);

// Holds the write transaction of a session until commit(); rolls it back
// when left by an exception.
class WriteTransaction {
public:
    explicit WriteTransaction(CatalogueSession& session) : session_(session) { session_.begin_write(); }
    ~WriteTransaction() {
        if (open_) session_.rollback();
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit() {
        session_.commit();
        open_ = false;
    }

private:
    CatalogueSession& session_;
    bool open_ = true;
};
