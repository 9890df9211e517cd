#include "foundation/catalogue_dates.h"

QString today_text() {
    return QDate::currentDate().toString("yyyy/MM/dd");
}

std::optional<QDate> typed_date(const QString& text) {
    for (const char* form : {"yyyy/M/d", "yyyy-M-d", "yyyy.M.d"}) {
        const QDate date = QDate::fromString(text.trimmed(), form);
        if (date.isValid()) return date;
    }
    return std::nullopt;
}
