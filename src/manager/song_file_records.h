#pragma once

// What registration by file name knows about each media file of the folder,
// how it checks a file against the catalogue, and how it stores the files.

#include "manager/song_file_name.h"
#include "manager/song_numbers.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The similar-title state of a file.
enum SongRepeat : int {
    kRepeatUndecided = 0,  // a similar title is stored; no decision yet
    kRepeatAddAnyway = 1,
    kRepeatReplace = 2,     // replace the stored song of replace_code
    kRepeatDeleteFile = 3,  // delete this file instead of registering it
    kRepeatRegistered = 4,  // the file is registered already
    kRepeatNone = 255,      // no similar title
};

enum SingerState : int { kSingerMissing = 0, kSingersFound = 1, kSingersNotLooked = 255 };

struct SongFileRecord {
    QString file_path;
    QString singer;  // names joined by "+"
    QString song_name;
    QString kind_name;
    int text_count = kNoTextCount;
    int singer_ok = kSingersNotLooked;
    int repeat = kRepeatNone;
    QString replace_code;
    FileNameError format_error = FileNameError::None;
    bool ready = true;

    QString file_name() const;
    QStringList singer_names() const;
};

// Singer codes by exact name. While a folder is scanned or registered the
// whole singer table is kept (the catalogue's singers do not change
// meanwhile); at other times every question is a query.
class SingerCodes {
public:
    explicit SingerCodes(const QString& db_path) : db_path_(db_path) {}
    // The singer's code, or -1 when no singer has this name.
    int code_of(const QString& name);
    void keep_answers(bool keep);

private:
    const QString& db_path_;
    std::optional<QHash<QString, int>> known_;
};

// Parses the file's name and checks it against the catalogue: registered
// already, singers known, a similar title stored. Fills every field but the
// path; a registered file keeps the rest of its record as it was.
void check_song_file(SongFileRecord& record, const QString& db_path, SingerCodes& singers);

// The list line of a file.
QString song_file_line(const SongFileRecord& record);

// The state line shown for the selected file.
QString song_file_state(const SongFileRecord& record);

// The similar-title state text for a decision, as the file list and the
// decision window show it.
QString repeat_state_text(int repeat);

// Stores the files of a folder, `files_per_transaction` to a transaction
// (0: each statement on its own, as the catalogue takes them one by one).
// Files to delete are deleted only once the transaction that dropped their
// songs is committed, so a failure never leaves a song without its file, and
// only when no stored song plays them any more.
class SongFileRegistrar {
public:
    SongFileRegistrar(const QString& db_path, int files_per_transaction);
    SongFileRegistrar(const SongFileRegistrar&) = delete;
    SongFileRegistrar& operator=(const SongFileRegistrar&) = delete;

    // Registers, replaces or deletes as the file's decision says; the date
    // is "YYYY/MM/DD". Throws DatabaseError.
    void register_file(const SongFileRecord& record, const QString& date);
    // Commits the last transaction and deletes the files it released.
    void finish();
    // The files whose songs were stored (all of them once finished).
    const QStringList& stored_files() const { return stored_files_; }

private:
    void begin_if_needed();
    void commit();
    void store_per_singer(const SongFileRecord& record, const QString& number, const QString& date);
    void drop_replaced_song(const QString& replace_code, const QString& new_file);

    const QString& db_path_;
    int files_per_transaction_;
    int files_in_transaction_ = 0;
    // Left open without finish() (a failure), it is given up, and with it
    // the deletions it would have allowed.
    std::optional<NumberingTransaction> transaction_;
    SongNumberAllocator numbers_;
    SingerCodes singers_;
    QStringList files_to_delete_;
    QStringList stored_files_;
};
