#pragma once

#include "foundation/play_queue.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

struct AppState;

// The queue journal: the play queue kept in a small file of the program
// folder, written after every change, so that a crash, a killed process or a
// power cut does not lose the songs the guests ordered. The program's own
// exit paths remove it: a journal found at start means the previous run ended
// some other way, and its queue comes back.
//
// The file is made once (a page with a magic text, the format's version and
// the size of a slot, then two slots) and from then on only overwritten in
// place: each change goes into the slot that does not hold the newest queue,
// with a sequence number one higher, the length of the entries, the entries
// (number, display text, media path) and a checksum. A power cut during the
// write can tear only that slot, which then fails its checksum, while the
// other still holds the queue before the change. A queue too long for its
// slot makes the file anew with larger slots.

// The journal's file (in the program folder also for a room on a catalogue
// server: the queue is the room's own).
QString queue_journal_path(const AppState& state);

// The queue a journal's file holds (its whole slot with the higher sequence
// number); nothing when no slot is whole or the file is cut short, no queue
// journal or written by a newer version, and `problem` then says which.
std::optional<PlayQueue> read_queue_journal(QByteArrayView bytes, QString* problem = nullptr);

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
