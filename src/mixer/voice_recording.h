#pragma once

#include <QString>

struct AppState;

// Where a take is written before it gets its final name.
QString temporary_wave_path(const AppState& state);

// The song stopped playing while a take ran: the capture is saved under
// record_file (an earlier file of that name is replaced).
void end_recording_take(AppState& state);

// The guest cut, paused or restarted the song during a take: whatever the
// take wrote is thrown away and no take runs afterwards.
void discard_recording_take(AppState& state);
