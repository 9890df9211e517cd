#include "foundation/stroke_collation.h"

#include "foundation/catalogue.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>

namespace {

int compare_in_stroke_order(void* collator, int length_a, const void* a, int length_b, const void* b) {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult order =
        ucol_strcollUTF8(static_cast<UCollator*>(collator), static_cast<const char*>(a), length_a,
                         static_cast<const char*>(b), length_b, &status);
    if (U_SUCCESS(status) && order != UCOL_EQUAL) return order;
    // Byte order of UTF-8 is code point order.
    const int common = std::memcmp(a, b, static_cast<size_t>(std::min(length_a, length_b)));
    if (common != 0) return common;
    return length_a - length_b;
}

void close_collator(void* collator) {
    ucol_close(static_cast<UCollator*>(collator));
}

}  // namespace

void register_stroke_collation(sqlite3* db) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("zh@collation=stroke", &status);
    if (U_FAILURE(status))
        throw DatabaseError(std::string("stroke collation unavailable: ") + u_errorName(status));
    const int rc = sqlite3_create_collation_v2(db, kStrokeCollation, SQLITE_UTF8, collator,
                                               compare_in_stroke_order, close_collator);
    if (rc != SQLITE_OK) {
        ucol_close(collator);  // SQLite does not call the destructor when registration fails
        throw DatabaseError(sqlite3_errmsg(db), rc);
    }
}
