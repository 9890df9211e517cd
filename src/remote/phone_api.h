#pragma once

#include "platform/http_server.h"
#include "remote/phone_guard.h"
#include "remote/song_search.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

struct AppState;
class PlaybackSession;

// One request from a phone, as the web server received it, and its answer.
using PhoneRequest = HttpRequest;
using PhoneResponse = HttpResponse;

// What the phones may do, answered on the user-interface thread: the page,
// logging in with the PIN, searching the catalogue, the play queue and the
// player's cut, pause and sing-again. Nothing else is reachable: every other
// path is 404, and no answer names a file.
class PhoneApi : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxQueryChars = 100;
    static constexpr char kCookieName[] = "karaoke_session";
    // What the screens and the phones say while every login waits.
    static constexpr char kLoginsWaitNotice[] = "有人一直輸錯密碼，手機點歌暫停";

    PhoneApi(AppState& state, const QString& pin);

    const QString& pin() const { return pin_; }
    // A random PIN is changed after enough wrong ones; a chosen one stays.
    void set_pin_is_random(bool random) { pin_is_random_ = random; }
    // Whether every new login waits now, after too many wrong PINs.
    bool logins_wait() const { return pin_guard_.everyone_waits(now_ms_()); }
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
    // The PIN changed, or logins began to wait: the screens show it.
    void sign_changed();

private:
    PhoneResponse route(const PhoneRequest& request);
    PhoneResponse log_in(const PhoneRequest& request);
    PhoneResponse wrong_pin(const QString& peer, qint64 now);
    PhoneResponse songs(const PhoneRequest& request);
    PhoneResponse queue() const;
    PhoneResponse order(const PhoneRequest& request, const QByteArray& guest);
    PhoneResponse remove(int slot);
    PhoneResponse insert(int slot);
    PhoneResponse player_command(const QByteArray& command);
    // The session token of a signed-in guest; empty for anyone else.
    QByteArray guest_of(const PhoneRequest& request);
    void queue_was_changed();
    bool head_locked() const;
    bool player_open() const;

    AppState& state_;
    QString pin_;
    QPointer<PlaybackSession> playback_;
    std::function<qint64()> now_ms_;
    bool pin_is_random_ = false;
    PinGuard pin_guard_;
    GuestBook guests_;
    SongSearch search_;
};

// A PIN of four random digits.
QString random_pin();
