#include "support/postgres_server.h"

#include "foundation/app_state.h"

#include <QFile>
#include <QProcess>
#include <arpa/inet.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kBinaries = "/usr/lib/postgresql/15/bin/";

// A port of 127.0.0.1 nobody listens on now.
int free_port() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(probe);
    return port;
}

// The account the server runs under when we are root.
const passwd* server_account() {
    return geteuid() == 0 ? getpwnam("nobody") : nullptr;
}

bool give_to_server_account(const QString& path) {
    const passwd* account = server_account();
    return !account || ::chown(QFile::encodeName(path).constData(), account->pw_uid, account->pw_gid) == 0;
}

}  // namespace

PostgresServer* PostgresServer::shared() {
    static std::unique_ptr<PostgresServer> server = [] {
        std::unique_ptr<PostgresServer> made(new PostgresServer);
        if (!made->init()) made.reset();
        return made;
    }();
    return server.get();
}

bool PostgresServer::run_as_server_user(const QString& program, const QStringList& arguments) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder_.path());
    if (server_account()) {
        process.start("runuser", QStringList{"-u", "nobody", "--", kBinaries + program} + arguments);
    } else {
        process.start(kBinaries + program, arguments);
    }
    if (!process.waitForFinished(60000)) return false;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAll().constData());
        return false;
    }
    return true;
}

bool PostgresServer::init() {
    if (!QFile::exists(kBinaries + "initdb") || !folder_.isValid()) return false;
    const QString password_file = folder_.filePath("password");
    QFile password(password_file);
    if (!password.open(QIODevice::WriteOnly)) return false;
    password.write(kPassword);
    password.close();
    if (!give_to_server_account(folder_.path()) || !give_to_server_account(password_file)) return false;
    port_ = free_port();
    return port_ != 0 &&
           run_as_server_user(
               "initdb", {"-D", folder_.filePath("data"), "-U", kUser, "--pwfile", password_file, "--auth",
                          "scram-sha-256", "-E", "UTF8", "--locale", "C.UTF-8", "--no-sync"}) &&
           start();
}

bool PostgresServer::start() {
    if (running_) return true;
    // Sessions start with standard_conforming_strings off, as on a server
    // set up for old clients: the jukebox must turn it on for its own.
    const QString options = QString(
                                "-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                                "-c full_page_writes=off -c standard_conforming_strings=off")
                                .arg(port_)
                                .arg(folder_.path());
    running_ = run_as_server_user("pg_ctl", {"-D", folder_.filePath("data"), "-l", folder_.filePath("log"),
                                             "-o", options, "-w", "start"});
    return running_;
}

void PostgresServer::stop() {
    if (running_)
        run_as_server_user("pg_ctl", {"-D", folder_.filePath("data"), "-m", "immediate", "-w", "stop"});
    running_ = false;
}

PostgresServer::~PostgresServer() {
    stop();
}

QString PostgresServer::uri(const QString& database, const QString& password) const {
    return QString("postgresql://%1:%2@127.0.0.1:%3/%4").arg(kUser, password).arg(port_).arg(database);
}

QString PostgresServer::new_database() {
    const QString name = QString("catalogue_%1").arg(++databases_);
    PGconn* admin = PQconnectdb(uri("postgres").toUtf8().constData());
    PGresult* result =
        PQexec(admin, ("CREATE DATABASE " + name + " TEMPLATE template0").toUtf8().constData());
    const bool made = PQresultStatus(result) == PGRES_COMMAND_OK;
    if (!made) qWarning("CREATE DATABASE failed: %s", PQerrorMessage(admin));
    PQclear(result);
    PQfinish(admin);
    return uri(name);
}

bool use_catalogue_server(AppState& state) {
    PostgresServer* server = PostgresServer::shared();
    if (!server) return false;
    state.db_path = server->new_database();
    return true;
}
