#pragma once

#include "foundation/play_queue.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct AppState;

// The queue journal: the play queue kept in a small file of the program
// folder, written whole after every change, so that a crash, a killed
// process or a power cut does not lose the songs the guests ordered. The
// program's own exit paths remove it: a journal found at start means the
// previous run ended some other way, and its queue comes back.

// The journal's file (in the program folder also for a room on a catalogue
// server: the queue is the room's own).
QString queue_journal_path(const AppState& state);

// What the journal holds for the queue: a magic text, the format's version,
// the entries (number, display text, media path) and a checksum.
QByteArray queue_journal_bytes(const PlayQueue& queue);

// The queue a journal holds; nothing when it is cut short, damaged, no
// queue journal or written by a newer version, and `problem` then says which.
std::optional<PlayQueue> read_queue_journal(const QByteArray& bytes, QString* problem = nullptr);

// Once, at start, after the settings are read: after a run that did not end
// through the exit paths the queue comes back from the journal, in its order
// (a song whose file is gone is dropped and logged as a skipped song; a
// journal that cannot be read gives an empty queue and a log line). From
// then on every change of the queue is written to the journal before the
// caller goes on. Returns how many songs came back.
int resume_queue_journal(AppState& state);

// The program's own exit paths, right before the program ends: the journal
// is removed and no longer written, so the next start has an empty queue.
void close_queue_journal(AppState& state);
