#pragma once

#include <QByteArray>
#include <QString>

// Files that must survive a power cut whole: what the program keeps to come
// back after a crash (the queue journal, the name of a running take).

// Replaces the file at `path` with `bytes`, so that a power cut at any moment
// leaves the old content or the new one, never a mix: the bytes go to a file
// beside it, are synced, take its name, and the folder is synced. False (the
// old file untouched) when any step fails. It costs the disk three flushes
// (about 20 ms on a virtual disk): for files written now and then.
bool replace_file_durably(const QString& path, const QByteArray& bytes);

// Removes the file and syncs its folder, so that the removal outlives a power
// cut. True when the file is gone (or was never there).
bool remove_file_durably(const QString& path);

// Syncs the list of names of the folder holding `path` (after a rename or a
// removal there).
bool sync_folder_of(const QString& path);

// Writes all `size` bytes at `offset`, going on after interrupted or partial
// writes; false when the disk refuses them.
bool write_all_at(int fd, qint64 offset, const char* bytes, qsizetype size);

// An existing file kept open and overwritten in place, each write on the
// disk before `write_at` returns. Only the data is synced (`fdatasync`), not
// the file's times: on a file whose size and blocks stay as they are (made
// whole by `replace_file_durably`, then only overwritten) that is one flush
// of the disk and no update of the file system's own records. A write torn
// by a power cut can leave any mix of old and new bytes in the range written:
// the caller's format has to tell such a range from a whole one.
class InPlaceFile {
public:
    InPlaceFile() = default;
    InPlaceFile(const InPlaceFile&) = delete;
    InPlaceFile& operator=(const InPlaceFile&) = delete;
    ~InPlaceFile() { close(); }

    // False when the file cannot be opened for writing.
    bool open(const QString& path);
    bool is_open() const { return fd_ >= 0; }
    // Writes `bytes` at `offset` and syncs them; false when either fails.
    bool write_at(qint64 offset, const QByteArray& bytes);
    void close();

private:
    int fd_ = -1;
};
