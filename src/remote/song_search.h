#pragma once

#include <QString>

#include <memory>
#include <vector>

class CatalogueSession;

// One song as the phones list it: a duet's singers joined by "+".
struct FoundSong {
    QString num;
    QString title;
    QString singers;
};

// One page of a search, and whether later pages hold more songs.
struct FoundPage {
    std::vector<FoundSong> songs;
    bool more = false;
};

inline constexpr int kSongsPerPage = 50;
// No category chosen.
inline constexpr int kAnyKind = -1;

// The phones' search. A scan of the catalogue with LIKE takes a quarter of a
// second on 100,000 songs, all of it on the user-interface thread, so the
// songs are read once into memory and searched there; they are read again
// when the catalogue has changed since (manager mode, another room, another
// program). The songs are read on a connection of the search's own: a
// search that fails, or waits, never touches a transaction the windows hold
// open on theirs.
class SongSearch {
public:
    SongSearch();
    ~SongSearch();

    // Songs whose number begins with `query`, or whose title or a singer's
    // name contains it (ASCII letters in any case), within the category when
    // one is given, in order of their numbers; page 1 is the first.
    // Database errors come out as DatabaseError.
    FoundPage search(const QString& db_path, const QString& query, int song_kind, int page);
    // Reads the catalogue now when it has changed since it was last read.
    void read_catalogue_if_changed(const QString& db_path);

private:
    struct Song {
        FoundSong shown;
        int kind;
        qsizetype text_start;  // in texts_
    };
    // The songs whose text holds the query, and those whose number begins
    // with it: indices into songs_, ascending.
    std::vector<int> text_matches(const QString& folded_query) const;
    std::vector<int> number_matches(const QString& query) const;
    int song_at_text_position(qsizetype position) const;

    std::vector<Song> songs_;  // by number
    // Every song's title and singers' names, each on a line of its own, ASCII
    // letters in lower case, song after song: one text to look through.
    QString texts_;
    QString read_path_;
    std::unique_ptr<CatalogueSession> session_;  // to read_path_
    QString read_stamp_;                         // empty: read again
};
