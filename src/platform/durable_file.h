#pragma once

#include <QByteArray>
#include <QString>

// Files that must survive a power cut whole: what the program keeps to come
// back after a crash (the queue journal, the name of a running take).

// Replaces the file at `path` with `bytes`, so that a power cut at any moment
// leaves the old content or the new one, never a mix: the bytes go to a file
// beside it, are synced, take its name, and the folder is synced. False (the
// old file untouched) when any step fails.
bool replace_file_durably(const QString& path, const QByteArray& bytes);

// Removes the file and syncs its folder, so that the removal outlives a power
// cut. True when the file is gone (or was never there).
bool remove_file_durably(const QString& path);

// Syncs the list of names of the folder holding `path` (after a rename or a
// removal there).
bool sync_folder_of(const QString& path);
