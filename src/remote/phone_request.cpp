#include "remote/phone_request.h"

#include <QJsonDocument>
#include <QList>
#include <QRegularExpression>
#include <QStringDecoder>

std::optional<QString> utf8_text(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

std::optional<QString> query_value(const QByteArray& query, const QString& name) {
    for (const QByteArray& item : query.split('&')) {
        const qsizetype equals = item.indexOf('=');
        const QByteArray key = equals < 0 ? item : item.left(equals);
        if (key != name.toLatin1()) continue;
        QByteArray value = equals < 0 ? QByteArray() : item.mid(equals + 1);
        value.replace('+', ' ');
        return utf8_text(QByteArray::fromPercentEncoding(value));
    }
    return QString();
}

std::optional<int> bounded_number(const QString& text, int low, int high) {
    static const QRegularExpression digits("^[0-9]{1,9}$");
    if (!digits.match(text).hasMatch()) return std::nullopt;
    const int value = text.toInt();
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::optional<QJsonObject> json_body(const QByteArray& body) {
    if (!utf8_text(body)) return std::nullopt;
    QJsonParseError parse_error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parse_error);
    if (parse_error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return document.object();
}

QByteArray cookie_value(const QByteArray& header, const QByteArray& name) {
    const QByteArray prefix = name + "=";
    for (const QByteArray& part : header.split(';')) {
        const QByteArray pair = part.trimmed();
        if (pair.startsWith(prefix)) return pair.mid(prefix.size());
    }
    return {};
}

ApiRoute match_route(const QByteArray& method, const QByteArray& path, int queue_size) {
    const QList<QByteArray> parts = path.split('/');  // "", "api", ...
    const bool get = method == "GET";
    const bool post = method == "POST";
    if (path == "/api/songs" && get) return {ApiRoute::songs, {}, {}};
    if (path == "/api/queue" && get) return {ApiRoute::queue_list, {}, {}};
    if (path == "/api/queue" && post) return {ApiRoute::queue_order, {}, {}};
    static const QRegularExpression digits("^[0-9]+$");
    const bool slot_path = parts.size() >= 4 && parts[1] == "api" && parts[2] == "queue" &&
                           digits.match(QString::fromLatin1(parts[3])).hasMatch();
    const auto slot = [&] { return bounded_number(QString::fromLatin1(parts[3]), 0, queue_size - 1); };
    if (slot_path && parts.size() == 4 && method == "DELETE") return {ApiRoute::queue_delete, slot(), {}};
    if (slot_path && parts.size() == 5 && parts[4] == "insert" && post)
        return {ApiRoute::queue_insert, slot(), {}};
    if (parts.size() == 4 && parts[1] == "api" && parts[2] == "player" && post &&
        (parts[3] == "cut" || parts[3] == "pause" || parts[3] == "again"))
        return {ApiRoute::player, {}, parts[3]};
    return {};
}
