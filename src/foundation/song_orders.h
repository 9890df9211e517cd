#pragma once

#include <QString>

struct AppState;

// Appends the song with the number as typed to the play queue, displayed as
// its title, "--" and its singer's name. Returns the slot it took, or -1
// when no song has that number or the queue is full (the queue unchanged).
int add_song_to_queue(AppState& state, const QString& song_num);
