#include "remote/song_search.h"

#include "foundation/catalogue_operations.h"

#include <algorithm>
#include <cstring>

namespace {

QString ascii_lower(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) {
        if (c >= 'A' && c <= 'Z') c = QChar(c.unicode() + ('a' - 'A'));
    }
    return folded;
}

// Ends each song's text, so that no match runs from one song into the next.
constexpr QChar kSongEnd = QChar(0);

}  // namespace

SongSearch::SongSearch() = default;
SongSearch::~SongSearch() = default;

void SongSearch::read_catalogue_if_changed(const QString& db_path) {
    if (db_path != read_path_ || !session_) {
        session_ = own_session(db_path);
        read_path_ = db_path;
        read_stamp_.clear();
    }
    // Taken before the songs are read: a change made meanwhile shows up as a
    // new stamp at the next search.
    const QString stamp = session_->change_stamp();
    if (!stamp.isEmpty() && stamp == read_stamp_) return;
    read_stamp_.clear();
    std::vector<Song> songs;
    QString texts;
    Recordset rows = songs_for_phones(*session_);
    for (; !rows.Eof(); rows.MoveNext()) {
        const QString num = rows.Field("song_num");
        const QString singer = rows.Field("singer_name");
        // A song with two singers is two rows under one number.
        if (!songs.empty() && songs.back().shown.num == num) {
            if (singer.isEmpty()) continue;
            QString& singers = songs.back().shown.singers;
            singers += (singers.isEmpty() ? "" : "+") + singer;
            texts.chop(1);
            texts += "\n" + ascii_lower(singer) + kSongEnd;
            continue;
        }
        const QString title = rows.Field("song_name");
        songs.push_back({{num, title, singer}, rows.FieldInt("song_kind"), texts.size()});
        texts += ascii_lower(title) + "\n" + ascii_lower(singer) + kSongEnd;
    }
    songs_ = std::move(songs);
    texts_ = std::move(texts);
    read_stamp_ = stamp;
}

int SongSearch::song_at_text_position(qsizetype position) const {
    const auto after = std::upper_bound(songs_.begin(), songs_.end(), position,
                                        [](qsizetype at, const Song& song) { return at < song.text_start; });
    return static_cast<int>(after - songs_.begin()) - 1;
}

namespace {

// Where `needle` first stands in `text` from `from` on, or -1. glibc's memmem
// scans the bytes several times faster than QStringMatcher, whose skip table
// gains nothing on queries of one or two characters; a match at an odd byte
// straddles two characters and is passed over.
qsizetype find_from(const QString& text, const QString& needle, qsizetype from) {
    const auto* bytes = reinterpret_cast<const char*>(text.constData());
    const size_t length = size_t(text.size()) * sizeof(QChar);
    const size_t needle_length = size_t(needle.size()) * sizeof(QChar);
    for (size_t at = size_t(from) * sizeof(QChar); at < length;) {
        const void* hit = memmem(bytes + at, length - at, needle.constData(), needle_length);
        if (!hit) return -1;
        const size_t offset = size_t(static_cast<const char*>(hit) - bytes);
        if (offset % sizeof(QChar) == 0) return qsizetype(offset / sizeof(QChar));
        at = offset + 1;
    }
    return -1;
}

}  // namespace

std::vector<int> SongSearch::text_matches(const QString& folded_query) const {
    std::vector<int> found;
    for (qsizetype at = find_from(texts_, folded_query, 0); at >= 0;) {
        const int song = song_at_text_position(at);
        found.push_back(song);
        if (song + 1 >= static_cast<int>(songs_.size())) break;
        at = find_from(texts_, folded_query, songs_[size_t(song) + 1].text_start);
    }
    return found;
}

std::vector<int> SongSearch::number_matches(const QString& query) const {
    std::vector<int> found;
    auto first =
        std::lower_bound(songs_.begin(), songs_.end(), query,
                         [](const Song& song, const QString& prefix) { return song.shown.num < prefix; });
    for (auto song = first; song != songs_.end() && song->shown.num.startsWith(query); ++song)
        found.push_back(static_cast<int>(song - songs_.begin()));
    return found;
}

FoundPage SongSearch::search(const QString& db_path, const QString& query, int song_kind, int page) {
    read_catalogue_if_changed(db_path);
    // Both lists are in number order: merged, they are the matches in order.
    const std::vector<int> by_text = text_matches(ascii_lower(query));
    const std::vector<int> by_number = number_matches(query);
    std::vector<int> matched;
    std::set_union(by_text.begin(), by_text.end(), by_number.begin(), by_number.end(),
                   std::back_inserter(matched));
    const qint64 skip = qint64(page - 1) * kSongsPerPage;
    qint64 counted = 0;
    FoundPage found;
    for (const int index : matched) {
        const Song& song = songs_[size_t(index)];
        if (song_kind != kAnyKind && song.kind != song_kind) continue;
        if (counted++ < skip) continue;
        if (static_cast<int>(found.songs.size()) == kSongsPerPage) {
            found.more = true;
            break;
        }
        found.songs.push_back(song.shown);
    }
    return found;
}
