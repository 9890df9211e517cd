#pragma once

#include <QString>

struct AppState;

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
