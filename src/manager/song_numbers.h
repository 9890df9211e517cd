#pragma once

#include <QHash>
#include <QSet>
#include <QString>

// The highest serial a song number can carry: the serial is a 16-bit counter.
inline constexpr int kHighestSongSerial = 32767;

// The first free song number for a category and title length: the category
// digit, the length with at least two digits and the lowest serial (at least
// three digits) not yet taken. An empty text when every serial up to
// kHighestSongSerial is taken. Database errors come out as DatabaseError.
QString Get_NewSongNum(int song_kind, int song_text_count, const QString& db_path);

// Get_NewSongNum for many songs in a row, as registering a folder needs: the
// numbers of each prefix are read once, and every number handed out counts as
// taken from then on. It answers as Get_NewSongNum would as long as the
// catalogue changes only through the numbers it handed out meanwhile.
class SongNumberAllocator {
public:
    explicit SongNumberAllocator(QString db_path) : db_path_(std::move(db_path)) {}

    // The number for the next new song, now taken; empty when none is free.
    QString next(int song_kind, int song_text_count);

private:
    struct Serials {
        QSet<QString> taken;
        int lowest_untried = 1;  // every serial below it is taken
    };

    QString db_path_;
    QHash<QString, Serials> by_prefix_;
};
