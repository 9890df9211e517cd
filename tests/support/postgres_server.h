#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

struct AppState;

// Where a test keeps its catalogue.
enum class CatalogueStore { File, Server };

// A PostgreSQL 15 server of the test program's own: its cluster, socket and
// log live in a temporary folder, it listens on a free port of 127.0.0.1
// only, and it runs as "nobody" when the tests run as root (the server refuses
// root). Its sessions start with standard_conforming_strings off, so that a
// backslash in a quoted value escapes unless a client turns it on. Made on
// first use and stopped, with its folder removed, when the test program ends.
class PostgresServer {
public:
    static constexpr const char* kUser = "karaoke";
    static constexpr const char* kPassword = "secret";

    // The shared server, started on first use; nullptr when the PostgreSQL
    // programs are not installed or the server would not start (the tests
    // that need it then skip).
    static PostgresServer* shared();

    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // The URI of a new, empty database of its own.
    QString new_database();
    // The URI of a database with the given password.
    QString uri(const QString& database, const QString& password = kPassword) const;
    int port() const { return port_; }

    // Stops the server at once (as a crash or a pulled cable would look to
    // the jukebox) and starts it again on the same port.
    void stop();
    bool start();

private:
    PostgresServer() = default;
    bool init();
    bool run_as_server_user(const QString& program, const QStringList& arguments) const;

    QTemporaryDir folder_;
    int port_ = 0;
    int databases_ = 0;
    bool running_ = false;
};

// Points the state's catalogue at a new, empty database on the shared server;
// false (state unchanged) when there is no server.
bool use_catalogue_server(AppState& state);
