#pragma once

#include "remote/song_search.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>

struct AppState;
class PlaybackSession;

// One request from a phone, as the web server received it.
struct PhoneRequest {
    QByteArray method;  // "GET", "POST", "DELETE", ...
    QByteArray path;    // percent-encoded, without the query
    QByteArray query;   // percent-encoded, without "?"
    QByteArray body;
    QByteArray cookie;  // the Cookie header
    QString peer;       // the phone's address
};

struct PhoneResponse {
    int status = 200;
    QByteArray content_type;
    QByteArray body;
    QByteArray set_cookie;  // empty: no cookie set
};

// What the phones may do, answered on the user-interface thread: the page,
// logging in with the PIN, searching the catalogue, the play queue and the
// player's cut, pause and sing-again. Nothing else is reachable: every other
// path is 404, and no answer names a file.
class PhoneApi : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxBodyBytes = 4096;
    static constexpr int kMaxQueryChars = 100;
    static constexpr int kWrongPinsBeforeWait = 5;
    static constexpr qint64 kWrongPinWaitMs = 60'000;
    static constexpr int kOrdersPerMinute = 20;
    static constexpr char kCookieName[] = "karaoke_session";

    PhoneApi(AppState& state, const QString& pin);

    const QString& pin() const { return pin_; }
    // The session of the singing window while it is open; null otherwise.
    void set_playback(PlaybackSession* session);
    // Design milliseconds now; the jukebox's clock unless a test sets another.
    void set_time_source(std::function<qint64()> now_ms) { now_ms_ = std::move(now_ms); }

    PhoneResponse handle(const PhoneRequest& request);
    // Reads the songs for the search ahead of the first phone; silent when
    // the catalogue cannot be read (the search reports it then).
    void prepare_search();

signals:
    // A phone changed the play queue.
    void queue_changed();

private:
    struct Guest {
        std::deque<qint64> order_times;  // within the last minute
    };
    struct WrongPins {
        int count = 0;
        qint64 wait_until = 0;
    };

    PhoneResponse route(const PhoneRequest& request);
    PhoneResponse route_signed_in(const PhoneRequest& request, Guest& guest);
    PhoneResponse log_in(const PhoneRequest& request);
    PhoneResponse songs(const PhoneRequest& request);
    PhoneResponse queue() const;
    PhoneResponse order(const PhoneRequest& request, Guest& guest);
    PhoneResponse remove(int slot);
    PhoneResponse insert(int slot);
    PhoneResponse player_command(const QByteArray& command);
    Guest* guest_of(const PhoneRequest& request);
    void queue_was_changed();
    bool head_locked() const;
    bool player_open() const;

    AppState& state_;
    QString pin_;
    QPointer<PlaybackSession> playback_;
    std::function<qint64()> now_ms_;
    QHash<QByteArray, Guest> guests_;       // by session cookie
    QHash<QString, WrongPins> wrong_pins_;  // by address
    SongSearch search_;
};

// A PIN of four random digits.
QString random_pin();
