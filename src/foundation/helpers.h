#pragma once

#include <QString>

class QObject;
struct AppState;

// Multiplies an object's geometry (left, top, width, height) and font size by
// the factor and names its font "標楷體". What the object lacks is skipped: a
// timer is left alone. A widget that inherits its font from a parent that was
// already scaled keeps following that parent, so children are not scaled twice.
void scale_control(QObject* object, double factor);

// True when the file can be opened for reading; false for a folder, a missing
// file or one without permission.
bool file_exists(const QString& path);

// True when the name's extension is one the current multimedia screen shows:
// the music extensions on a music-folder screen (menu status "8_1..."), the
// picture and movie extensions on a picture-folder screen ("8_2..."), none
// elsewhere.
bool is_media_ext(const AppState& state, const QString& menu_status, const QString& name);

// True when the name's extension is one of the movie extensions.
bool is_movie_ext(const AppState& state, const QString& name);
