#pragma once

#include "platform/key_codes.h"

#include <QString>

struct AppState;
struct Settings;

// The keypad character a delivered code stands for under the key settings:
// 47 "/", 42 "*", 45 "-", 43 "+", 13 Enter, 46 "." or 48..57 the digits; 0
// when no setting names the code. The operator keys are tried first, first
// match winning; a digit setting naming the same code overrides them.
int translate_key(const Settings& settings, int code);

// The name of the key newly pressed since the previous poll (see
// KeyNameTracker::read_pressed_key), updating the state's caps_lock_on.
QString read_pressed_key(AppState& state);
