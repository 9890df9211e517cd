// The bytes of a client, sent over a loopback connection to the phones' web
// server, whose handler reads each request as the API does. Slow (one
// connection a run): phone_request_fuzzer covers the same reading faster.

#include "phone_request_checks.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace {

HttpServer& server() {
    static HttpServer* running = [] {
        auto* started = new HttpServer(fuzz_phone_api, {}, {}, HttpServer::HandlerThread::server);
        require_phone(started->listen(0, true) != 0);
        return started;
    }();
    return *running;
}

QByteArray exchange(quint16 port, const QByteArray& bytes) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    require_phone(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0);
    ::send(fd, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL);
    ::shutdown(fd, SHUT_WR);
    QByteArray received;
    char buffer[4096];
    pollfd entry{fd, POLLIN, 0};
    // The server closes once it has answered what it was sent; a second of
    // silence would be a hang.
    while (::poll(&entry, 1, 1000) > 0) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        received.append(buffer, got);
    }
    ::close(fd);
    return received;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    require_http_answers(exchange(server().port(), bytes));
    return 0;
}
