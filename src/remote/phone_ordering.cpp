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

}  // namespace

PhoneOrdering::PhoneOrdering(AppState& state, const QString& pin, quint16 port, const QHostAddress& listen_on,
                             const QString& shown_host)
    : api_(state, pin), server_(api_), shown_host_(shown_host) {
    port_ = server_.listen(listen_on, port);
    if (!listening()) {
        qCWarning(lcRemote).noquote()
            << "phone ordering could not listen on port" << port << "(another program may use it)";
        return;
    }
    // Once the window is up, so that the first search does not wait for it.
    QTimer::singleShot(0, this, [this] { api_.prepare_search(); });
}

QString PhoneOrdering::address() const {
    return QString("http://%1:%2/").arg(shown_host_).arg(port_);
}

QImage PhoneOrdering::sign_card(int height) const {
    if (card_.height() != height) card_ = draw_card(height);
    return card_;
}

QImage PhoneOrdering::draw_card(int height) const {
    const int line_height = height / 10;
    const int code_side = height - 2 * line_height;
    const QImage code = qr_code_image(address(), 1);
    const int width = std::max(code_side, line_height * 9);
    QImage card(width, height, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    painter.drawImage(QRect((width - code_side) / 2, 0, code_side, code_side), code);
    painter.setPen(Qt::black);
    paint_text_line(painter, QRect(0, code_side, width, line_height), address(), line_height * 6 / 10);
    paint_text_line(painter, QRect(0, code_side + line_height, width, line_height), "密碼 " + pin(),
                    line_height * 8 / 10);
    return card;
}

std::unique_ptr<PhoneOrdering> start_phone_ordering(AppState& state) {
    const Settings& settings = state.settings;
    if (settings.PhoneOrdering != 1) return nullptr;
    static const QRegularExpression four_digits("^[0-9]{4}$");
    QString pin = settings.PhoneOrderingPin;
    if (!four_digits.match(pin).hasMatch()) {
        if (!pin.isEmpty())
            qCWarning(lcRemote) << "PhoneOrderingPin is not four digits: a random PIN is used";
        pin = random_pin();
    }
    const int port = settings.PhoneOrderingPort;
    return std::make_unique<PhoneOrdering>(state, pin,
                                           port >= 0 && port < 65536 ? quint16(port) : quint16(8080),
                                           QHostAddress::Any, room_network_address());
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
