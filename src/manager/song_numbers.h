#pragma once

#include "foundation/catalogue_session.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

// The highest serial a song number can carry: the serial is a 16-bit counter.
inline constexpr int kHighestSongSerial = 32767;

// The first free song number for a category and title length: the category
// digit, the length with at least two digits and the lowest serial (at least
// three digits) not yet taken. An empty text when every serial up to
// kHighestSongSerial is taken. Database errors come out as DatabaseError.
QString Get_NewSongNum(int song_kind, int song_text_count, const QString& db_path);

// A transaction that holds the catalogue's write lock from its start (BEGIN
// IMMEDIATE; on a catalogue server the catalogue's advisory lock), so a
// number found free inside it is still free when the song's rows are written,
// however many rooms register at once. Given up unless committed.
class NumberingTransaction {
public:
    explicit NumberingTransaction(const QString& db_path) : transaction_(shared_session(db_path)) {}
    void commit() { transaction_.commit(); }

private:
    WriteTransaction transaction_;
};

// Stores a new song under the number proposed to the manager, or, when
// another room has taken that number since, under the first free one now:
// `insert` writes the song's rows under the number it is given, inside a
// NumberingTransaction. Returns the number stored under; empty, with nothing
// stored, when every number of the kind and length is taken.
QString store_under_free_number(const QString& proposed, int song_kind, int song_text_count,
                                const QString& db_path, const std::function<void(const QString&)>& insert);

// Get_NewSongNum for many songs in a row, as registering a folder needs: the
// numbers of each prefix are read once, and every number handed out counts as
// taken from then on. It answers as Get_NewSongNum would as long as the
// catalogue changes only through the numbers it handed out meanwhile.
class SongNumberAllocator {
public:
    explicit SongNumberAllocator(QString db_path) : db_path_(std::move(db_path)) {}

    // The number for the next new song, now taken; empty when none is free.
    QString next(int song_kind, int song_text_count);

    // Reads the numbers afresh from the next call on: at the start of each
    // transaction, since other rooms may have registered songs in between.
    void forget() { by_prefix_.clear(); }

private:
    struct Serials {
        QSet<QString> taken;
        int lowest_untried = 1;  // every serial below it is taken
    };

    QString db_path_;
    QHash<QString, Serials> by_prefix_;
};
