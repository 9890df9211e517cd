#pragma once

// Titles and singer names sort like a Taiwanese song book: by the stroke
// count of their characters (ICU's "zh@collation=stroke", the default order of
// zh-Hant). Texts that ICU ranks equal are ordered by code point, so "=" on a
// column with this collation matches exactly the same text only.

struct sqlite3;

// The collation's name as declared on song.song_name and singer.singer_name.
inline constexpr const char* kStrokeCollation = "stroke";

// Registers the collation on a connection; throws DatabaseError on failure.
void register_stroke_collation(sqlite3* db);
