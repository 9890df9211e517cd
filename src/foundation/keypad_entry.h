#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

struct AppState;

// What every keypad screen shares (the main menu, the small windows over the
// video, the singing window and the sound panel): the typed entry, the arrow
// keys as keypad presses and the numbered pages of result lists.

// A digit is appended to the entry and "." takes its last character back
// (nothing when it is empty). Returns whether the key was one of them.
bool type_entry_key(QString& entry, int key);

// The entry as a list or row number: 0 when empty, INT_MAX when it is not a
// whole number that fits (a list position that is never there).
int entry_number(const QString& entry);

// The arrow key newly pressed since the last poll (every keypad window polls
// every 20 ms), as the key code the keypad's "-" (Up) or "+" (Down) is
// configured to; nothing when no arrow key was pressed.
std::optional<int> arrow_key_code(AppState& state);

// The rows of page `page` of a result list (keys in its first half, texts in
// its second, as the lookups fill it): each the list number with at least
// `digits` digits, counting on from page to page, a "." and the text at that
// position (empty past the end).
QStringList numbered_page_rows(std::span<const QString> list, int rows_per_page, int page, int digits);
