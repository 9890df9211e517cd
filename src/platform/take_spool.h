#pragma once

#include <QString>

#include <chrono>

// The frames of a running take, written to a wave file as they come in, so
// that a crash or a power cut loses at most the last second of it: the file
// is synced at least once a second (not per read, which would cost the disk
// forty syncs a second). Its header counts no samples; repair_wave_file
// (platform/wave_file) sets the sizes when the take is found at the next start.
//
// Opened and removed on the window thread while no worker records; the
// worker appends and syncs.
class TakeSpool {
public:
    ~TakeSpool();

    // Where takes are spooled; an empty path (the default) spools nothing.
    void set_path(const QString& path) { path_ = path; }

    // Starts the file afresh (the header alone) unless it is already open.
    void open();
    // Appends frames; syncs when the last sync is a second old or more. A
    // file that cannot be written any more is given up (and logged once).
    void append(const char* frames, qsizetype bytes);
    // Syncs what was appended.
    void sync();
    // Closes the file and removes it: the take was saved or thrown away.
    void remove();

private:
    void give_up();

    QString path_;
    int fd_ = -1;
    qint64 end_ = 0;  // where the next frames go
    std::chrono::steady_clock::time_point last_sync_;
};
