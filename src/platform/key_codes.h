#pragma once

#include <optional>

class QKeyEvent;

// The code a key press delivers to the windows' key handlers: the character
// it types (digits, operators, letters in the case typed: Shift+R gives 82,
// R alone 114), 13 for Enter, Return and keypad Enter, 8 for Backspace and
// 27 for Escape. Keys that type nothing (Shift, Control, Alt, Caps Lock, the
// arrows, function keys) deliver no code.
std::optional<int> key_code_of(const QKeyEvent& event);
