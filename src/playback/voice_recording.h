#pragma once

#include <QDateTime>
#include <QString>

struct AppState;

// The steps of a voice recording take on the sound input and its files. The
// playback session decides when they run (a take always covers a whole song
// from its beginning) and holds whether a take runs and its file name;
// these only talk to the capture service and the files.

// The record button's captions: idle, while a take runs, while it restarts.
inline constexpr char kRecordIdleCaption[] = "9錄音";
inline constexpr char kRecordRunningCaption[] = "錄音中";
inline constexpr char kRecordRestartingCaption[] = "重錄";

// Where a take is written before it gets its final name.
QString temporary_wave_path(const AppState& state);

// Where the capture writes a take while it runs (AlsaWaveCapture::
// spool_takes_to), and the file that holds the take's final name meanwhile:
// together they let the next start keep a take a crash interrupted.
QString take_spool_path(const AppState& state);
QString take_name_path(const AppState& state);

// The final name of a take started at `when`: the recordings folder (with or
// without its trailing "/"), "yymmddhhmm", the display text without leading
// and trailing blanks, and ".wav"; copy 2, 3, ... adds " (2)", " (3)" before
// ".wav". A "/" of the text becomes "／" and a NUL is dropped, so that the
// name stays one file in the folder; a text too long for a 255-byte file
// name is cut at a character boundary.
QString record_file_name(const QString& record_path, const QDateTime& when, const QString& display_text,
                         int copy = 1);

// A new take of the head of the queue: the sound input starts, and the
// result is the file the take goes to (a finished take of the same minute
// keeps its file).
QString open_take(const AppState& state);

// Before a take is recorded again under the same name: the sound input
// stops and what the previous attempt left is removed.
void clear_take(const AppState& state, const QString& record_file);

// The sound input starts again for the same name, from its start.
void reopen_take(const AppState& state);

// The song stopped playing while a take ran: the capture is saved under
// record_file (an earlier file of that name is replaced). A capture that can
// be neither renamed nor copied there is lost, and the log says so.
void end_recording_take(const AppState& state, const QString& record_file);

// The guest cut, paused or restarted the song during a take: whatever the
// take wrote is thrown away.
void discard_recording_take(const AppState& state, const QString& record_file);

// Playback closed during a take: the sound input stops, nothing is saved.
void drop_recording_take(const AppState& state);

// At start, after the settings are read: a take that a crash or a power cut
// interrupted is kept under the name it would have had (its header made right
// for the samples on disk), so that the recordings screen lists it; a take
// without samples, or one saved before the end came, is removed.
void recover_interrupted_take(const AppState& state);
