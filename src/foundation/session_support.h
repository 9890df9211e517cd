#pragma once

// What both stores' sessions share: how a failure is logged, and how a
// session hands its statement and values over.

#include "foundation/catalogue_session.h"

#include <QByteArray>

// Logs a failed statement in karaoke.catalogue (its text, never its values),
// without the password of a server's address.
void log_catalogue_failure(const DatabaseError& error, std::string_view sql, const QString& place);

// Runs the work; a DatabaseError is logged on its way to the caller.
template <typename Work>
auto logged(std::string_view sql, const QString& place, Work&& work) {
    try {
        return work();
    } catch (const DatabaseError& error) {
        log_catalogue_failure(error, sql, place);
        throw;
    }
}

// A bound value as UTF-8 text (a null QByteArray for NULL).
inline QByteArray utf8_of(const CatalogueValue& value) {
    if (const auto* text = std::get_if<QString>(&value)) return text->toUtf8();
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return QByteArray::number(static_cast<qlonglong>(*number));
    return {};
}

// The session of the file store; and of the server store.
std::unique_ptr<CatalogueSession> new_file_session(const QString& path);
std::unique_ptr<CatalogueSession> new_server_session(const QString& address);
