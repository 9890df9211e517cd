#pragma once

// Measures the loudness of many media files at once, one per worker thread,
// keeping each result in the catalogue as soon as it is known: a run that
// is stopped loses at most the files in hand, and the next run goes on
// where it stopped.

#include "platform/media_player.h"

#include <QString>
#include <QStringList>

#include <functional>

struct LoudnessRunCounts {
    int measured = 0;         // measured now
    int undecodable = 0;      // measured now, with no sound that could be decoded
    int measured_before = 0;  // already measured as they are
    int missing = 0;          // no file at the path
};

// Measures every file of `files` not measured as it is now and as heard
// with `heard` (see measure_loudness), on `workers`
// threads with a catalogue connection of their own each. `progress` is told
// of each file done (done, total), from one thread at a time. A catalogue
// that fails stops the run with its DatabaseError; what was measured until
// then is kept.
LoudnessRunCounts measure_unmeasured_files(const QString& place, const QStringList& files, int workers,
                                           const std::function<void(int done, int total)>& progress,
                                           StereoSide heard = StereoSide::both);
