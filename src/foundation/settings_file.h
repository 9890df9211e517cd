#pragma once

#include "foundation/settings.h"

#include <QString>

struct AppState;

// The settings in force before Setting.ini is read: the documented defaults,
// with the folders placed for this machine (recordings beside the program,
// music and pictures in the user's home).
Settings default_settings(const QString& app_folder);

// Gives every setting its default, creates Setting.ini in the program folder
// when it is missing, appends every key the file lacks (with its comment
// line), reads the values and creates the recording folder when missing.
// A file that cannot be created or read leaves the defaults in force.
void load_settings(AppState& state);

// The leading number of a text, read the forgiving way users expect from a
// hand-edited file: blanks are ignored, a sign, decimals and an exponent are
// allowed, reading stops at the first other character, and a text that does
// not start with a number gives 0 ("0107" gives 107, "abc" gives 0).
double numeric_value(const QString& text);

// The whole number nearest to numeric_value(text), halves to the even
// neighbour (2.5 gives 2, 3.5 gives 4), limited to the range of int.
int integer_value(const QString& text);

// A key code as the settings keep it: the decimal text of its numeric value
// ("047" gives "47", a word gives "0").
QString key_code_text(const QString& text);
