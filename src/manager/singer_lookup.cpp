#include "manager/singer_lookup.h"

#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"

std::optional<int> stored_singer_code(const QString& name, const QString& db_path) {
    const Recordset singer = singers_named(shared_session(db_path), name);
    if (singer.Eof()) return std::nullopt;
    return singer.FieldInt("singer_code");
}
