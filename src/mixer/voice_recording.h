#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

struct AppState;
class player;

// The record button's captions: idle, while a take runs, while it restarts.
inline constexpr char kRecordIdleCaption[] = "9錄音";
inline constexpr char kRecordRunningCaption[] = "錄音中";
inline constexpr char kRecordRestartingCaption[] = "重錄";

// Where a take is written before it gets its final name.
QString temporary_wave_path(const AppState& state);

// The final name of a take started at `when`: the recordings folder (with or
// without its trailing "/"), "yymmddhhmm", the display text without leading
// and trailing blanks, and ".wav"; copy 2, 3, ... adds " (2)", " (3)" before
// ".wav". A "/" of the text becomes "／" and a NUL is dropped, so that the
// name stays one file in the folder; a text too long for a 255-byte file
// name is cut at a character boundary.
QString record_file_name(const QString& record_path, const QDateTime& when, const QString& display_text,
                         int copy = 1);

// The record button (and the hotkey R) while a song plays: a new take
// restarts the song from its beginning together with the capture, after two
// seconds of background; a second press throws the running take away and
// starts it again under the same name. Does nothing when no song is playing.
// `show_caption` receives the record button's captions as the take moves on.
void record_current_song(AppState& state, player& screen,
                         const std::function<void(const QString&)>& show_caption);

// The song stopped playing while a take ran: the capture is saved under
// record_file (an earlier file of that name is replaced).
void end_recording_take(AppState& state);

// The guest cut, paused or restarted the song during a take: whatever the
// take wrote is thrown away and no take runs afterwards.
void discard_recording_take(AppState& state);
