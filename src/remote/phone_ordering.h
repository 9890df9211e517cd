#pragma once

#include "platform/http_server.h"
#include "remote/phone_api.h"

#include <QHostAddress>
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

struct AppState;
class QPainter;
class QRect;

// Ordering from the guests' phones for the whole run: the API, the web
// server and what the screens show so that guests find it.
class PhoneOrdering : public QObject {
    Q_OBJECT
public:
    // Listens on `port` (0: any free port) of `listen_on`; the page's
    // address names `shown_host`.
    PhoneOrdering(AppState& state, const QString& pin, quint16 port, const QHostAddress& listen_on,
                  const QString& shown_host);

    bool listening() const { return port_ != 0; }
    quint16 port() const { return port_; }
    // "http://host:port/"
    QString address() const;
    const QString& pin() const { return api_.pin(); }
    PhoneApi& api() { return api_; }

    // The card guests read on the screen: the QR code of the address, the
    // address and the PIN, `height` pixels tall; while every login waits
    // after too many wrong PINs, "有人一直輸錯密碼，手機點歌暫停" under them.
    QImage sign_card(int height) const;

signals:
    // The card reads otherwise now (a new PIN, logins waiting or not): the
    // screens that show it paint it again.
    void sign_changed();

private:
    QImage draw_card(int height) const;
    void check_sign();

    PhoneApi api_;
    HttpServer server_;
    QString shown_host_;
    quint16 port_ = 0;
    // The card last drawn: screens that show it again reuse the picture.
    mutable QImage card_;
    mutable QString card_pin_;
    mutable bool card_notice_ = false;
    // What the screens were last told to show; logins stop waiting when
    // their time is up, not on a request, so a timer looks again.
    QString signed_pin_;
    bool signed_notice_ = false;
    QTimer sign_watch_;
};

// Phone ordering as Setting.ini asks for it: null unless PhoneOrdering = 1.
// A PhoneOrderingPin that is not four digits gives a fresh random PIN.
std::unique_ptr<PhoneOrdering> start_phone_ordering(AppState& state);

// Over the background between songs: the card in the bottom-right corner and
// "下一首：" with the head of the queue at the bottom left.
void paint_between_songs(QPainter& painter, const QRect& screen, const PhoneOrdering& phones,
                         const QString& next_song);
