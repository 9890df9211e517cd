#pragma once

#include <QDate>
#include <QString>

#include <optional>

// Registration dates as the catalogue keeps them: "YYYY/MM/DD", a text the
// song book compares as text.

// Today in that form.
QString today_text();

// The date a manager typed, in one of the forms "YYYY/M/D", "YYYY-M-D" and
// "YYYY.M.D" (blanks around are ignored); nothing for any other text or a
// day the calendar lacks.
std::optional<QDate> typed_date(const QString& text);
