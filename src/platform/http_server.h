#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <unordered_set>

struct MHD_Daemon;
struct MHD_Connection;

// One complete request, as a client sent it: its head and body are within
// the server's limits by the time anyone sees it.
struct HttpRequest {
    QByteArray method;  // "GET", "POST", "DELETE", ...
    QByteArray path;    // percent-encoded, without the query
    QByteArray query;   // percent-encoded, without "?"
    QByteArray body;
    QByteArray cookie;  // the Cookie header
    QString peer;       // the client's address; an IPv6 client's /64 network
};

struct HttpResponse {
    int status = 200;
    QByteArray content_type;
    QByteArray body;
    QByteArray set_cookie;  // empty: no cookie set
};

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// What a client may send and hold before the server refuses it.
struct HttpLimits {
    int connections = 64;
    int connections_per_address = 8;
    // A connection that has sent no complete request for this long, since it
    // opened or since its last answer went out, is closed, however slowly it
    // trickles bytes meanwhile. Waiting for an answer or reading one does not
    // count.
    std::chrono::milliseconds request_time{10'000};
};

// A web server made to face a network of strangers (libmicrohttpd): it
// bounds connections in total and per address, the head and body of a
// request before reading them, and the time an idle connection is kept. Its
// own thread reads the requests; each complete one is answered by the
// handler on the thread that owns the server (a queued call, so the window
// thread answers between two of its events while the connection waits), or
// on the server's thread for a handler that touches nothing shared.
class HttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    enum class HandlerThread { owner, server };

    // `headers` go out with every answer.
    HttpServer(Handler handler, HttpHeaders headers, HttpLimits limits = {},
               HandlerThread thread = HandlerThread::owner, QObject* parent = nullptr);
    // Answers the requests still waiting with 503, then stops the thread.
    ~HttpServer() override;

    // Listens on `port` (0: any free one) of every address, or of 127.0.0.1
    // alone; returns the port, 0 when it could not listen.
    quint16 listen(quint16 port, bool loopback_only);
    quint16 port() const { return port_; }

private:
    struct Pending;
    struct Client;
    friend struct HttpServerCallbacks;  // libmicrohttpd's, on the server's thread

    MHD_Daemon* start_daemon(unsigned address_flags, quint16 port, const struct sockaddr_in* bind_to);
    bool may_connect(const QString& group);
    void count_connection(const QString& group, int change);
    void hand_over(MHD_Connection* connection, Pending* pending);
    void answer_pending(Pending* pending);
    void queue_answer(MHD_Connection* connection, const HttpResponse& response, bool close) const;
    void refuse_while_reading_body(MHD_Connection* connection, int status) const;
    void note_refusal();
    void open_client(Client* client);
    void close_client(Client* client);
    void start_request_clock(Client& client) const;
    void watch_request_times(std::stop_token stop);
    void close_late_clients();

    Handler handler_;
    HttpHeaders headers_;
    HttpLimits limits_;
    HandlerThread thread_;
    MHD_Daemon* daemon_ = nullptr;
    quint16 port_ = 0;

    // Requests handed to the owner's thread and not answered yet.
    QMutex pending_lock_;
    std::unordered_set<Pending*> pending_;
    bool stopping_ = false;

    // Connections per address, counted on the server's thread only.
    QHash<QString, int> connections_;
    int connection_count_ = 0;

    // Open connections, for the watch that closes those whose request takes
    // too long; a client leaves this set before libmicrohttpd closes its
    // socket, so the watch never touches a socket number reused meanwhile.
    QMutex clients_lock_;
    std::unordered_set<Client*> clients_;
    std::jthread request_watch_;

    // Refusals since the last log line, which comes once a minute at most.
    std::atomic<int> refusals_{0};
    std::atomic<qint64> last_refusal_log_ms_{-60'000};
};

// The request of a head that passed, its body still to come.
HttpRequest http_request_of(const QByteArray& method, const QByteArray& uri, const HttpHeaders& headers,
                            const QString& peer);

// Why a request's head is refused before its body is read: 0 when it is
// not; 400 (both a length and a transfer encoding, or two lengths, or a
// length that is no number), 413 (a declared body over the limit), 414 (a URL
// over its limit) or 431 (a head over its limit). `headers` are the
// request's header lines, names as sent.
int http_head_refusal(qsizetype url_size, const HttpHeaders& headers);

// The address a limit counts: an IPv4 address as it stands (also when it
// comes mapped into IPv6), an IPv6 address by its /64 network, since one
// device holds a whole /64.
QString address_group(const struct sockaddr* address);

inline constexpr qsizetype kHttpMaxHeadBytes = 8192;
inline constexpr qsizetype kHttpMaxUrlBytes = 4096;
inline constexpr qsizetype kHttpMaxBodyBytes = 4096;
