#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <span>

struct AppState;
class PictureBox;

// What the numbered song and singer lists of the keypad windows share: the
// page layout, turning pages and ordering a listed song.

// The main menu spreads a page over its text area, each row on its line of
// fourteen, with three-digit list numbers and a footer at the bottom; the
// small windows over the video print a page line by line with two-digit
// list numbers and the page number below.
enum class page_style { spread, compact };

// One page of a result list (keys in its first half, texts in its second,
// as the lookups fill it): each row shows its list number, counting on from
// page to page, and the text at that position, empty past the end.
void print_numbered_page(PictureBox& Picture1, page_style style, std::span<const QString> list,
                         int rows_per_page, int page);
// A page of a song list with what the list holds (category or singer)
// below the songs; what is printed next stands on the line below that.
void print_song_page(PictureBox& Picture1, page_style style, std::span<const QString> song_list,
                     int rows_per_page, int page, const QString& caption);
// The line that confirms a song ordered from the list.
void print_ordered_song(PictureBox& Picture1, const QString& display_text);

// "-" and "+" turn the page within 1..500; returns whether it turned.
bool turn_page(AppState& state, int KeyAscii);

// Queues the song at list position `list_number` of song_list, whatever
// page is on screen, through `order_song` (which answers the queue slot, or
// -1). Returns the song's display text; nothing when the position is empty,
// past the list, or the song could not be queued.
std::optional<QString> order_listed_song(AppState& state, int list_number,
                                         const std::function<int(const QString& song_num)>& order_song);
