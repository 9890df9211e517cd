#pragma once

// A client that sends raw bytes to the phones' server from an address of its
// choice (127.0.0.N), as an attacker on the room's network would, without the
// manners of a browser. Every wait has a deadline, and the window thread's
// events run meanwhile so that the server's answers can be made.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

class AttackClient {
public:
    static constexpr int kDeadlineMs = 5'000;  // reached only when the server hangs

    // Connects from 127.0.0.`host`; the socket does not block.
    AttackClient(int host, quint16 port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl((127u << 24) | static_cast<unsigned>(host));
        ::bind(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
        ::fcntl(fd_, F_SETFL, O_NONBLOCK);
    }
    ~AttackClient() { ::close(fd_); }
    AttackClient(const AttackClient&) = delete;
    AttackClient& operator=(const AttackClient&) = delete;

    bool connected() const { return connected_; }
    const QByteArray& received() const { return received_; }
    // Nothing more comes from this side.
    void finish_sending() { ::shutdown(fd_, SHUT_WR); }
    // Closing resets the connection, so that the server lets it go at once
    // (it keeps a half-closed, incomplete request until its idle time-out).
    void reset_on_close() {
        const linger at_once{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &at_once, sizeof at_once);
    }

    // Sends what the server takes before it stops reading, closes or the
    // deadline comes; returns the number of bytes sent.
    qsizetype send_all(const QByteArray& bytes, int deadline_ms = kDeadlineMs) {
        QElapsedTimer clock;
        clock.start();
        qsizetype sent = 0;
        while (sent < bytes.size() && clock.elapsed() < deadline_ms) {
            const ssize_t written =
                ::send(fd_, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
            if (written > 0) {
                sent += written;
                continue;
            }
            if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;  // closed by the server
            if (!wait_for(POLLOUT, 10)) {
                // Full: the server reads no more of it for now.
                if (answer_pending()) break;
            }
        }
        return sent;
    }

    // The status of the first answer; 0 when the server closed without one,
    // -1 when nothing came before the deadline.
    int status(int deadline_ms = kDeadlineMs) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < deadline_ms) {
            if (received_.contains("\r\n")) return received_.mid(9, 3).toInt();
            if (closed_) return 0;
            wait_for(POLLIN, 10);
            read_some();
        }
        return -1;
    }

    // Whether the server closed the connection before the deadline.
    bool closed_by_server(int deadline_ms = kDeadlineMs) {
        QElapsedTimer clock;
        clock.start();
        while (!closed_ && clock.elapsed() < deadline_ms) {
            wait_for(POLLIN, 10);
            read_some();
        }
        return closed_;
    }

private:
    bool wait_for(short events, int ms) {
        QCoreApplication::processEvents();
        pollfd entry{fd_, events, 0};
        return ::poll(&entry, 1, ms) > 0;
    }
    bool answer_pending() {
        read_some();
        return closed_ || !received_.isEmpty();
    }
    void read_some() {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
            if (got > 0) {
                if (received_.size() < 65'536) received_.append(buffer, got);
                continue;
            }
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) closed_ = true;
            return;
        }
    }

    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    QByteArray received_;
};
