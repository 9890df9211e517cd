#pragma once

#include "manager/similar_title_window.h"

// The similar-title window of the add-song window (its title is "Form1"):
// the new song is stored, replaces a stored song, or is given up.
class song_add_same : public similar_title_window {
    Q_OBJECT
public:
    song_add_same(AppState& state, QWidget* parent, NewSong new_song);
};
