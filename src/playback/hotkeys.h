#pragma once

#include <QString>

struct AppState;
class player;

// The status message in the player's top-right corner: the text stays for
// about `seconds` seconds (every caller passes 3). A new message replaces the
// one on screen and restarts the countdown.
void show_player_message(player& screen, const QString& text, int seconds);

// One second of the countdown (the player's tmrMSG): the message is hidden
// on the tick that finds one second or less left.
void count_down_player_message(player& screen);

// Carries out a playback hotkey and announces it; false when the code is
// none, and the caller then treats the key itself. "*" (next channel) and
// "/" (skip) are fixed codes; the letters are Settings::HotKey....
bool play_hotkey(AppState& state, player& screen, int KeyAscii);

// The volume as the guest reads it: a tenth, shortest decimal (55 -> "5.5").
QString volume_text(int volume);
