#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// The mpv player program itself, driven through its JSON IPC socket: the
// floor the jukebox's engine is compared against, with the same outputs and
// the same playback options as the jukebox gives libmpv.
class BareMpv {
public:
    // `outputs`: options such as "--vo=null", "--ao=null", "--fs".
    explicit BareMpv(const QStringList& outputs);
    ~BareMpv();
    BareMpv(const BareMpv&) = delete;
    BareMpv& operator=(const BareMpv&) = delete;

    // Loads the file and returns once mpv reports that playback has
    // started (the first frame is out): the milliseconds since the command
    // was sent, or a negative number when no start came within 10 s.
    double play_to_first_frame_ms(const QString& path);
    // Waits until the file that plays has ended; false after `timeout_ms`.
    bool wait_for_end(int timeout_ms);
    void stop();
    // A property of what plays, as mpv reports it (null when it has none).
    QJsonValue property(const QString& name);

    qint64 pid() const { return process_.processId(); }

private:
    void connect_socket();
    void send(const QByteArray& command_json);
    // Reads events until one named `event`; false after `timeout_ms`.
    bool wait_for_event(const QString& event, int timeout_ms);
    // Reads mpv's messages until `wanted` holds for one; false after `timeout_ms`.
    bool read_until(const std::function<bool(const QJsonObject&)>& wanted, int timeout_ms);

    QTemporaryDir folder_;
    QProcess process_;
    int socket_ = -1;
    QByteArray unread_;
    int last_request_id_ = 0;
};
