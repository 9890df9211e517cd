#include "platform/http_server.h"

#include "platform/log.h"

#include <QMutexLocker>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace {

// The memory libmicrohttpd gives one connection for its read buffer, the
// request's head and the answer's headers: a head over it is refused by the
// library itself before the handler's own, smaller, limits judge it.
constexpr size_t kConnectionMemoryBytes = 16 * 1024;

MHD_socket socket_of(MHD_Connection* connection) {
    return MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD)->connect_fd;
}

MHD_Result collect_header(void* headers, MHD_ValueKind, const char* name, const char* value) {
    static_cast<HttpHeaders*>(headers)->append(qMakePair(QByteArray(name), QByteArray(value ? value : "")));
    return MHD_YES;
}

HttpHeaders header_lines(MHD_Connection* connection) {
    HttpHeaders headers;
    MHD_get_connection_values(connection, MHD_HEADER_KIND, collect_header, &headers);
    return headers;
}

QByteArray header_value(const HttpHeaders& headers, const QByteArray& name) {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

int count_headers(const HttpHeaders& headers, const QByteArray& name) {
    return static_cast<int>(std::count_if(headers.begin(), headers.end(), [&](const auto& header) {
        return header.first.compare(name, Qt::CaseInsensitive) == 0;
    }));
}

HttpResponse refusal(int status) {
    return {status, "text/plain; charset=utf-8", QByteArray::number(status) + "\n", {}};
}

qint64 steady_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

struct HttpServer::Pending {
    MHD_Connection* connection;
    HttpRequest request;
};

// What a connection holds between its requests: its address group, counted
// while it is open, the URI of the request being read, as sent, and when
// that request has to be complete.
struct HttpServer::Client {
    QString group;
    MHD_socket socket;
    QByteArray uri;
    // Steady milliseconds; 0 while the handler or the client has the answer.
    std::atomic<qint64> request_deadline_ms{0};
};

// libmicrohttpd's callbacks, all on the server's thread.
struct HttpServerCallbacks {
    static HttpServer::Client& client_of(MHD_Connection* connection) {
        return *static_cast<HttpServer::Client*>(
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT)->socket_context);
    }

    static MHD_Result may_connect(void* server, const sockaddr* address, socklen_t) {
        return static_cast<HttpServer*>(server)->may_connect(address_group(address)) ? MHD_YES : MHD_NO;
    }

    static void on_connection(void* server, MHD_Connection* connection, void** socket,
                              MHD_ConnectionNotificationCode change) {
        auto& self = *static_cast<HttpServer*>(server);
        if (change == MHD_CONNECTION_NOTIFY_STARTED) {
            const sockaddr* address =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS)->client_addr;
            auto* client = new HttpServer::Client{address_group(address), socket_of(connection), {}};
            *socket = client;
            self.open_client(client);
        } else {
            self.close_client(static_cast<HttpServer::Client*>(*socket));
        }
    }

    static void* on_uri(void*, const char* uri, MHD_Connection* connection) {
        client_of(connection).uri = uri;
        return nullptr;
    }

    static MHD_Result on_request(void* server, MHD_Connection* connection, const char*, const char* method,
                                 const char*, const char* upload_data, size_t* upload_size, void** request) {
        auto& self = *static_cast<HttpServer*>(server);
        auto* pending = static_cast<HttpServer::Pending*>(*request);
        if (!pending) return begin(self, connection, method, request);
        if (*upload_size > 0) return take_body(self, *pending, upload_data, upload_size);
        client_of(connection).request_deadline_ms = 0;  // the answer's time is not the client's
        self.hand_over(connection, pending);
        return MHD_YES;
    }

    // The head is complete, the body not read yet: judge the head now.
    static MHD_Result begin(HttpServer& self, MHD_Connection* connection, const char* method,
                            void** request) {
        HttpServer::Client& client = client_of(connection);
        const HttpHeaders headers = header_lines(connection);
        if (const int status = http_head_refusal(client.uri.size(), headers)) {
            client.request_deadline_ms = 0;  // the connection closes after the answer
            self.note_refusal();
            self.queue_answer(connection, refusal(status), true);
            return MHD_YES;
        }
        *request =
            new HttpServer::Pending{connection, http_request_of(method, client.uri, headers, client.group)};
        return MHD_YES;
    }

    // A piece of the body. A chunked body says its length only as it comes:
    // past the limit it is refused there and the connection closes.
    static MHD_Result take_body(HttpServer& self, HttpServer::Pending& pending, const char* data,
                                size_t* size) {
        QByteArray& body = pending.request.body;
        if (body.size() + static_cast<qsizetype>(*size) > kHttpMaxBodyBytes) {
            self.note_refusal();
            self.refuse_while_reading_body(pending.connection, 413);
            return MHD_NO;
        }
        body.append(data, static_cast<qsizetype>(*size));
        *size = 0;
        return MHD_YES;
    }

    // The answer went out (or the connection is closing): the next request's
    // time starts.
    static void on_completed(void* server, MHD_Connection* connection, void** request,
                             MHD_RequestTerminationCode) {
        delete static_cast<HttpServer::Pending*>(*request);
        *request = nullptr;
        static_cast<HttpServer*>(server)->start_request_clock(client_of(connection));
    }
};

HttpServer::HttpServer(Handler handler, HttpHeaders headers, HttpLimits limits, HandlerThread thread,
                       QObject* parent)
    : QObject(parent),
      handler_(std::move(handler)),
      headers_(std::move(headers)),
      limits_(limits),
      thread_(thread) {}

HttpServer::~HttpServer() {
    if (!daemon_) return;
    request_watch_ = std::jthread();  // asked to stop, and joined
    {
        QMutexLocker locker(&pending_lock_);
        stopping_ = true;
        for (Pending* pending : pending_) {
            queue_answer(pending->connection, refusal(503), true);
            MHD_resume_connection(pending->connection);
        }
        pending_.clear();
    }
    MHD_stop_daemon(daemon_);
}

// Every address is IPv6 and IPv4 at once where the machine has IPv6, IPv4
// alone where it has not.
quint16 HttpServer::listen(quint16 port, bool loopback_only) {
    sockaddr_in loopback{};
    loopback.sin_family = AF_INET;
    loopback.sin_port = htons(port);
    loopback.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!loopback_only) daemon_ = start_daemon(MHD_USE_DUAL_STACK, port, nullptr);
    if (!daemon_) daemon_ = start_daemon(0, port, loopback_only ? &loopback : nullptr);
    if (!daemon_) return 0;
    port_ = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT)->port;
    request_watch_ = std::jthread([this](std::stop_token stop) { watch_request_times(stop); });
    return port_;
}

// libmicrohttpd's own time-out restarts with every byte: with the same length
// it drops a client that goes quiet or stops reading its answer.
MHD_Daemon* HttpServer::start_daemon(unsigned address_flags, quint16 port, const sockaddr_in* bind_to) {
    const auto quiet = std::chrono::ceil<std::chrono::seconds>(limits_.request_time);
    const unsigned flags =
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME | address_flags;
    return MHD_start_daemon(
        flags, port, &HttpServerCallbacks::may_connect, this, &HttpServerCallbacks::on_request, this,
        MHD_OPTION_CONNECTION_LIMIT, static_cast<unsigned>(limits_.connections),
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, static_cast<unsigned>(limits_.connections_per_address),
        MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(std::max<qint64>(1, quiet.count())),
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemoryBytes, MHD_OPTION_NOTIFY_CONNECTION,
        &HttpServerCallbacks::on_connection, this, MHD_OPTION_URI_LOG_CALLBACK, &HttpServerCallbacks::on_uri,
        this, MHD_OPTION_NOTIFY_COMPLETED, &HttpServerCallbacks::on_completed, this,
        bind_to ? MHD_OPTION_SOCK_ADDR : MHD_OPTION_END, bind_to, MHD_OPTION_END);
}

bool HttpServer::may_connect(const QString& group) {
    if (connection_count_ < limits_.connections &&
        connections_.value(group) < limits_.connections_per_address)
        return true;
    note_refusal();
    return false;
}

void HttpServer::open_client(Client* client) {
    count_connection(client->group, +1);
    start_request_clock(*client);
    QMutexLocker locker(&clients_lock_);
    clients_.insert(client);
}

void HttpServer::close_client(Client* client) {
    {
        QMutexLocker locker(&clients_lock_);
        clients_.erase(client);
    }
    count_connection(client->group, -1);
    delete client;
}

void HttpServer::start_request_clock(Client& client) const {
    client.request_deadline_ms = steady_ms() + limits_.request_time.count();
}

// A connection that trickles a byte now and then keeps libmicrohttpd's
// time-out from ever running out; this watch, on a thread of its own, closes
// it when its request is late, within a twentieth of the limit.
void HttpServer::watch_request_times(std::stop_token stop) {
    const auto period = std::max(limits_.request_time / 20, std::chrono::milliseconds(1));
    std::mutex sleep_lock;
    std::condition_variable_any wake;
    std::unique_lock sleeping(sleep_lock);
    while (!wake.wait_for(sleeping, stop, period, [&] { return stop.stop_requested(); }))
        close_late_clients();
}

// Shutting the socket down makes libmicrohttpd see the end of the stream and
// close the connection on its own thread.
void HttpServer::close_late_clients() {
    const qint64 now = steady_ms();
    QMutexLocker locker(&clients_lock_);
    for (Client* client : clients_) {
        const qint64 deadline = client->request_deadline_ms;
        if (deadline == 0 || now < deadline) continue;
        client->request_deadline_ms = 0;
        note_refusal();
        ::shutdown(client->socket, SHUT_RDWR);
    }
}

void HttpServer::count_connection(const QString& group, int change) {
    connection_count_ += change;
    int& count = connections_[group];
    count += change;
    if (count <= 0) connections_.remove(group);
}

// A complete request: answered here, or handed to the owner's thread while
// the connection waits, suspended, for the answer.
void HttpServer::hand_over(MHD_Connection* connection, Pending* pending) {
    if (thread_ == HandlerThread::server) {
        queue_answer(connection, handler_(pending->request), false);
        return;
    }
    QMutexLocker locker(&pending_lock_);
    if (stopping_) {
        queue_answer(connection, refusal(503), true);
        return;
    }
    pending_.insert(pending);
    MHD_suspend_connection(connection);
    QMetaObject::invokeMethod(
        this, [this, pending] { answer_pending(pending); }, Qt::QueuedConnection);
}

void HttpServer::answer_pending(Pending* pending) {
    {
        QMutexLocker locker(&pending_lock_);
        if (pending_.erase(pending) == 0) return;  // answered by the shutdown
    }
    queue_answer(pending->connection, handler_(pending->request), false);
    MHD_resume_connection(pending->connection);
}

void HttpServer::queue_answer(MHD_Connection* connection, const HttpResponse& answer, bool close) const {
    MHD_Response* response =
        MHD_create_response_from_buffer(static_cast<size_t>(answer.body.size()),
                                        const_cast<char*>(answer.body.constData()), MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(response, "Content-Type", answer.content_type.constData());
    for (const auto& [name, value] : headers_)
        MHD_add_response_header(response, name.constData(), value.constData());
    if (!answer.set_cookie.isEmpty())
        MHD_add_response_header(response, "Set-Cookie", answer.set_cookie.constData());
    if (close) MHD_add_response_header(response, "Connection", "close");
    MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
    MHD_destroy_response(response);
}

// libmicrohttpd queues no answer while it reads a body, so this refusal goes
// straight onto the socket, ahead of the close that follows it; nothing else
// is being sent on the connection then.
void HttpServer::refuse_while_reading_body(MHD_Connection* connection, int status) const {
    const HttpResponse answer = refusal(status);
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(status) + ' ' +
                       MHD_get_reason_phrase_for(static_cast<unsigned>(status)) + "\r\n";
    bytes += "Content-Type: " + answer.content_type + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    for (const auto& [name, value] : headers_) bytes += name + ": " + value + "\r\n";
    bytes += "Connection: close\r\n\r\n" + answer.body;
    ::send(socket_of(connection), bytes.constData(), static_cast<size_t>(bytes.size()),
           MSG_NOSIGNAL | MSG_DONTWAIT);
}

// A flood is told once a minute at most, with how much was refused; nothing
// a client sends reaches the log.
void HttpServer::note_refusal() {
    const int refused = ++refusals_;
    const qint64 now = steady_ms();
    qint64 last = last_refusal_log_ms_.load();
    if (now - last < 60'000 || !last_refusal_log_ms_.compare_exchange_strong(last, now)) return;
    refusals_ -= refused;
    qCWarning(lcRemote).noquote() << "phone ordering refused" << refused
                                  << "requests or connections (too large, malformed or too many) since the "
                                     "last report";
}

HttpRequest http_request_of(const QByteArray& method, const QByteArray& uri, const HttpHeaders& headers,
                            const QString& peer) {
    const qsizetype question = uri.indexOf('?');
    return {
        method, question < 0 ? uri : uri.left(question), question < 0 ? QByteArray() : uri.mid(question + 1),
        {},     header_value(headers, "Cookie"),         peer};
}

int http_head_refusal(qsizetype url_size, const HttpHeaders& headers) {
    if (url_size > kHttpMaxUrlBytes) return 414;
    qsizetype head_size = url_size;
    for (const auto& [name, value] : headers) head_size += name.size() + value.size() + 4;
    if (head_size > kHttpMaxHeadBytes) return 431;
    const int lengths = count_headers(headers, "Content-Length");
    if (lengths > 1 || (lengths == 1 && count_headers(headers, "Transfer-Encoding") > 0)) return 400;
    if (lengths == 0) return 0;
    static const QRegularExpression digits("^[0-9]+$");
    const QByteArray length = header_value(headers, "Content-Length").trimmed();
    if (!digits.match(QString::fromLatin1(length)).hasMatch()) return 400;
    const bool too_long = length.size() > 9 || length.toLongLong() > kHttpMaxBodyBytes;
    return too_long ? 413 : 0;
}

QString address_group(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
        return QString::fromLatin1(text);
    }
    if (address->sa_family != AF_INET6) return QString();
    in6_addr bytes = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&bytes)) {
        inet_ntop(AF_INET, &bytes.s6_addr[12], text, sizeof text);
        return QString::fromLatin1(text);
    }
    std::memset(&bytes.s6_addr[8], 0, 8);
    inet_ntop(AF_INET6, &bytes, text, sizeof text);
    return QString::fromLatin1(text) + "/64";
}
