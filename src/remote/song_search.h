#pragma once

#include <QString>

#include <vector>

struct AppState;

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

// Songs whose number begins with `query`, or whose title or a singer's name
// contains it (ASCII letters in any case; "%" and "_" stand for themselves),
// within the category when one is given, in order of their numbers; page 1
// is the first. Database errors come out as DatabaseError.
FoundPage search_songs(const AppState& state, const QString& query, int song_kind, int page);

// The text between the quotes of a LIKE pattern: the characters of `part`
// found literally (escaped with "\"), quoted for SQL.
QString like_literal(const QString& part);
