#pragma once

#include <QString>

class PlaybackSession;

// Carries out a playback hotkey on the session and announces it; false when
// the code is none, and the caller then treats the key itself. "*" (next
// channel) and "/" (skip) are fixed codes; the letters are Settings::HotKey....
bool play_hotkey(PlaybackSession& session, int KeyAscii);

// The volume as the guest reads it: a tenth, shortest decimal (55 -> "5.5").
QString volume_text(int volume);
