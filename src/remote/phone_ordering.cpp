#include "remote/phone_ordering.h"

#include "foundation/app_state.h"
#include "platform/log.h"
#include "platform/network_address.h"
#include "remote/qr_code.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

namespace {

void paint_text_line(QPainter& painter, const QRect& box, const QString& text, int pixel_size) {
    QFont font = painter.font();
    font.setPixelSize(pixel_size);
    painter.setFont(font);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, text);
}

// The page needs nothing but itself and the API; no other site may frame it.
HttpHeaders security_headers() {
    return {{"Cache-Control", "no-store"},
            {"X-Content-Type-Options", "nosniff"},
            {"Content-Security-Policy",
             "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
             "connect-src 'self'; frame-ancestors 'none'"},
            {"Referrer-Policy", "no-referrer"}};
}

}  // namespace

PhoneOrdering::PhoneOrdering(AppState& state, const QString& pin, quint16 port, const QHostAddress& listen_on,
                             const QString& shown_host)
    : api_(state, pin),
      server_([this](const PhoneRequest& request) { return api_.handle(request); }, security_headers()),
      shown_host_(shown_host),
      signed_pin_(pin) {
    port_ = server_.listen(port, listen_on == QHostAddress::LocalHost);
    if (!listening()) {
        qCWarning(lcRemote).noquote()
            << "phone ordering could not listen on port" << port << "(another program may use it)";
        return;
    }
    // Once the window is up, so that the first search does not wait for it.
    QTimer::singleShot(0, this, [this] { api_.prepare_search(); });
    connect(&api_, &PhoneApi::sign_changed, this, &PhoneOrdering::check_sign);
    connect(&sign_watch_, &QTimer::timeout, this, &PhoneOrdering::check_sign);
    state.clock.set_interval(sign_watch_, 1000);
    sign_watch_.start();
}

void PhoneOrdering::check_sign() {
    const bool notice = api_.logins_wait();
    if (signed_pin_ == pin() && signed_notice_ == notice) return;
    signed_pin_ = pin();
    signed_notice_ = notice;
    emit sign_changed();
}

QString PhoneOrdering::address() const {
    return QString("http://%1:%2/").arg(shown_host_).arg(port_);
}

QImage PhoneOrdering::sign_card(int height) const {
    const bool notice = api_.logins_wait();
    if (card_.height() != height || card_pin_ != pin() || card_notice_ != notice) {
        card_pin_ = pin();
        card_notice_ = notice;
        card_ = draw_card(height);
    }
    return card_;
}

// The notice takes a line of its own under the PIN; the QR code gives up
// that line's height meanwhile.
QImage PhoneOrdering::draw_card(int height) const {
    const int line_height = height / 10;
    const int text_lines = card_notice_ ? 3 : 2;
    const int code_side = height - text_lines * line_height;
    const QImage code = qr_code_image(address(), 1);
    const int width = std::max(code_side, line_height * 9);
    QImage card(width, height, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    painter.drawImage(QRect((width - code_side) / 2, 0, code_side, code_side), code);
    painter.setPen(Qt::black);
    paint_text_line(painter, QRect(0, code_side, width, line_height), address(), line_height * 6 / 10);
    paint_text_line(painter, QRect(0, code_side + line_height, width, line_height), "密碼 " + card_pin_,
                    line_height * 8 / 10);
    if (card_notice_) {
        painter.setPen(Qt::red);
        // Fifteen characters across the card's width, a little room to spare.
        paint_text_line(painter, QRect(0, code_side + 2 * line_height, width, line_height),
                        PhoneApi::kLoginsWaitNotice, std::min(line_height * 6 / 10, width * 10 / 165));
    }
    return card;
}

std::unique_ptr<PhoneOrdering> start_phone_ordering(AppState& state) {
    const Settings& settings = state.settings;
    if (settings.PhoneOrdering != 1) return nullptr;
    static const QRegularExpression four_digits("^[0-9]{4}$");
    QString pin = settings.PhoneOrderingPin;
    const bool random = !four_digits.match(pin).hasMatch();
    if (random) {
        if (!pin.isEmpty())
            qCWarning(lcRemote) << "PhoneOrderingPin is not four digits: a random PIN is used";
        pin = random_pin();
    }
    const int port = settings.PhoneOrderingPort;
    auto phones =
        std::make_unique<PhoneOrdering>(state, pin, port >= 0 && port < 65536 ? quint16(port) : quint16(8080),
                                        QHostAddress::Any, room_network_address());
    phones->api().set_pin_is_random(random);
    return phones;
}

void paint_between_songs(QPainter& painter, const QRect& screen, const PhoneOrdering& phones,
                         const QString& next_song) {
    const int margin = screen.height() / 40;
    const QImage card = phones.sign_card(screen.height() * 3 / 10);
    painter.drawImage(screen.right() - margin - card.width(), screen.bottom() - margin - card.height(), card);
    if (next_song.isEmpty()) return;
    QFont font = painter.font();
    font.setPixelSize(screen.height() / 18);
    painter.setFont(font);
    const QRect line(margin, screen.bottom() - margin - screen.height() / 10,
                     screen.width() - card.width() - 3 * margin, screen.height() / 10);
    painter.setPen(Qt::black);
    painter.drawText(line.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter, "下一首：" + next_song);
    painter.setPen(Qt::yellow);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, "下一首：" + next_song);
}
