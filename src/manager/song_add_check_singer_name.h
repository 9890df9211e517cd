#pragma once

#include "manager/singer_choice_list.h"

// The singer choice list of the add-song window: the chosen name goes into
// that window's singer field. It holds every matching singer.
class song_add_check_singer_name : public singer_choice_list {
    Q_OBJECT
public:
    // `caller_singer_name` is the singer field the window reads and fills.
    song_add_check_singer_name(AppState& state, QWidget* parent, QLineEdit& caller_singer_name);
};
