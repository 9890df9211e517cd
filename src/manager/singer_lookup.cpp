#include "manager/singer_lookup.h"

#include "foundation/catalogue.h"
#include "foundation/lookups.h"

std::optional<int> stored_singer_code(const QString& name, const QString& db_path) {
    const Recordset singer =
        open_recordset("SELECT * FROM singer WHERE singer_name = '" + sql_quoted(name) + "'", db_path);
    if (singer.Eof()) return std::nullopt;
    return singer.FieldInt("singer_code");
}
