#include "support/bare_mpv.h"

#include "platform/mpv_media_player.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The program's own settings left out, as libmpv starts without them, then
// the options the jukebox gives its engine.
QStringList jukebox_playback_options() {
    QStringList arguments = {"--no-config", "--terminal=no"};
    for (const MpvOption& option : mpv_playback_options())
        arguments << QString("--%1=%2").arg(option.name, option.value);
    return arguments;
}

}  // namespace

BareMpv::BareMpv(const QStringList& outputs) {
    const QString socket_path = folder_.filePath("mpv.sock");
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("mpv",
                   jukebox_playback_options() + outputs + QStringList{"--input-ipc-server=" + socket_path});
    if (!process_.waitForStarted()) {
        std::fprintf(stderr, "mpv does not start\n");
        std::exit(1);
    }
    connect_socket();
}

BareMpv::~BareMpv() {
    send(R"({"command":["quit"]})");
    if (socket_ >= 0) ::close(socket_);
    if (process_.waitForFinished(5000)) return;
    std::fprintf(stderr, "mpv does not quit: killed\n");
    process_.kill();
    process_.waitForFinished();
}

// mpv opens its socket shortly after it starts.
void BareMpv::connect_socket() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = folder_.filePath("mpv.sock").toLocal8Bit();
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    for (int attempt = 0; attempt < 500; ++attempt) {
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) return;
        ::close(socket_);
        socket_ = -1;
        QThread::msleep(10);
    }
    std::fprintf(stderr, "mpv's socket does not open\n");
    std::exit(1);
}

void BareMpv::send(const QByteArray& command_json) {
    if (socket_ < 0) return;
    const QByteArray line = command_json + '\n';
    if (::write(socket_, line.constData(), line.size()) != line.size()) std::fprintf(stderr, "mpv is gone\n");
}

double BareMpv::play_to_first_frame_ms(const QString& path) {
    QJsonObject command{{"command", QJsonArray{"loadfile", path}}};
    QElapsedTimer clock;
    clock.start();
    send(QJsonDocument(command).toJson(QJsonDocument::Compact));
    if (!wait_for_event("playback-restart", 10000)) return -1;
    return clock.nsecsElapsed() / 1e6;
}

bool BareMpv::wait_for_end(int timeout_ms) {
    return wait_for_event("end-file", timeout_ms);
}

void BareMpv::stop() {
    send(R"({"command":["stop"]})");
    wait_for_event("end-file", 5000);
}

bool BareMpv::wait_for_event(const QString& event, int timeout_ms) {
    return read_until([&](const QJsonObject& message) { return message.value("event").toString() == event; },
                      timeout_ms);
}

QJsonValue BareMpv::property(const QString& name) {
    const int request_id = ++last_request_id_;
    const QJsonObject command{{"command", QJsonArray{"get_property", name}}, {"request_id", request_id}};
    send(QJsonDocument(command).toJson(QJsonDocument::Compact));
    QJsonValue value;
    read_until(
        [&](const QJsonObject& message) {
            if (message.value("request_id").toInt() != request_id) return false;
            value = message.value("data");
            return true;
        },
        5000);
    return value;
}

bool BareMpv::read_until(const std::function<bool(const QJsonObject&)>& wanted, int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeout_ms) {
        for (qsizetype end = unread_.indexOf('\n'); end >= 0; end = unread_.indexOf('\n')) {
            const QJsonObject message = QJsonDocument::fromJson(unread_.left(end)).object();
            unread_.remove(0, end + 1);
            if (wanted(message)) return true;
        }
        pollfd readable{socket_, POLLIN, 0};
        const int left_ms = std::max<int>(0, static_cast<int>(timeout_ms - clock.elapsed()));
        if (::poll(&readable, 1, left_ms) <= 0) continue;
        char buffer[4096];
        const ssize_t count = ::read(socket_, buffer, sizeof(buffer));
        if (count <= 0) return false;
        unread_.append(buffer, count);
    }
    return false;
}
