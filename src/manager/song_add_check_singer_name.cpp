#include "manager/song_add_check_singer_name.h"

#include <limits>

song_add_check_singer_name::song_add_check_singer_name(AppState& state, QWidget* parent,
                                                       QLineEdit& caller_singer_name)
    : singer_choice_list(state, parent, caller_singer_name, std::numeric_limits<int>::max()) {}
