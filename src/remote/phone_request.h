#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// How the phones' requests are read: pure functions of their bytes, which
// the fuzz target drives as the API does.

// The text of UTF-8 bytes; nullopt when they are no UTF-8.
std::optional<QString> utf8_text(const QByteArray& bytes);
// The value of a query item, decoded; empty when it is missing, nullopt
// when it is no UTF-8 text.
std::optional<QString> query_value(const QByteArray& query, const QString& name);
// A whole number within [low, high], from a text of digits only.
std::optional<int> bounded_number(const QString& text, int low, int high);
// The JSON object of a body; nullopt for anything else.
std::optional<QJsonObject> json_body(const QByteArray& body);
// The value of the cookie `name` in a Cookie header; empty when absent.
QByteArray cookie_value(const QByteArray& header, const QByteArray& name);

// The API's paths, by what they do.
struct ApiRoute {
    enum Kind { none, songs, queue_list, queue_order, queue_delete, queue_insert, player } kind = none;
    std::optional<int> slot;  // nullopt on a slot outside [0, queue_size)
    QByteArray command;       // cut, pause, again
};

ApiRoute match_route(const QByteArray& method, const QByteArray& path, int queue_size);
