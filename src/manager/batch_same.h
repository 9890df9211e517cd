#pragma once

#include "manager/similar_title_window.h"

// The similar-title window of batch registration (its title is "批次新增"):
// the line's song is stored, replaces a stored song, or is given up.
class batch_same : public similar_title_window {
    Q_OBJECT
public:
    batch_same(AppState& state, QWidget* parent, NewSong new_song);
};
