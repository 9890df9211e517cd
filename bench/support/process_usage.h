#pragma once

#include <QtGlobal>

#include <functional>

// What a process costs while it plays: its CPU time over the wall-clock time
// (1.0 is one core kept busy) and the most resident memory seen.
struct PlaybackUsage {
    double cpu_share = 0;
    double peak_resident_mib = 0;
};

// The process's resident memory now.
double resident_mib(qint64 pid);

// Watches the process `pid` for `seconds`, sampling ten times a second;
// `between_samples` runs meanwhile (the caller's own event loop when the
// process is the caller itself).
PlaybackUsage watch_process(qint64 pid, double seconds, const std::function<void(int ms)>& between_samples);
