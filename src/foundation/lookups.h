#pragma once

// The shared catalogue lookups that the ordering screens, the player and
// manager mode use. The list lookups fill AppState::singer_list and
// AppState::song_list: key in slot i, text in slot (list size) + i; an empty
// slot i ends the list. Database errors come out as DatabaseError.

#include "foundation/app_state.h"

#include <QString>

#include <array>

// The song categories, code 0..7.
const std::array<QString, 8>& song_kind_names();

// The text with every character equal to `search` replaced by `replacement`.
// Each character is compared with the whole search text, so a search text
// longer than one character never matches.
QString replace_char(const QString& text, const QString& search, const QString& replacement);

// Category code of an exact category name, or -1.
int kind_code_of(const QString& kind_name);

// Singer's name, or "找不到".
QString get_singer_name(const AppState& state, int singer_code);

// Title / media path of the first song with exactly this number, or "找不到"
// followed by the number.
QString get_song_name(const AppState& state, const QString& song_num);
QString get_song_location(const AppState& state, const QString& song_num);

// Singers of a category (0 female, 1 male, 2 group or other) in stroke order
// of their names: code and name.
bool load_singers_by_sex(AppState& state, int singer_sex);

// Songs of a singer, shortest title first, then by title: number and title.
bool load_songs_by_singer(AppState& state, int singer_code);

// Songs of a category whose titles have `text_count` characters, by title;
// a count above 9 lists every title of ten or more characters, shortest
// first. Number and title + "--" + singer name.
bool load_songs_by_kind_count(AppState& state, int song_kind, int text_count);
