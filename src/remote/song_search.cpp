#include "remote/song_search.h"

#include "foundation/catalogue.h"

#include <QFileInfo>

namespace {

QString ascii_lower(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) {
        if (c >= 'A' && c <= 'Z') c = QChar(c.unicode() + ('a' - 'A'));
    }
    return folded;
}

}  // namespace

void SongSearch::read_catalogue_if_changed(const QString& db_path) {
    const QFileInfo file(db_path);
    if (db_path == read_path_ && file.lastModified() == read_modified_ && file.size() == read_size_) return;
    std::vector<Song> songs;
    Recordset rows = open_recordset(
        "SELECT song.song_num, song.song_kind, song.song_name, singer.singer_name FROM song"
        " LEFT JOIN singer ON singer.singer_code = song.song_singer_code ORDER BY song.song_num, song.rowid",
        db_path);
    for (; !rows.Eof(); rows.MoveNext()) {
        const QString num = rows.Field("song_num");
        const QString singer = rows.Field("singer_name");
        // A song with two singers is two rows under one number.
        if (!songs.empty() && songs.back().shown.num == num) {
            if (singer.isEmpty()) continue;
            Song& song = songs.back();
            song.shown.singers += (song.shown.singers.isEmpty() ? "" : "+") + singer;
            song.folded_singers += "\n" + ascii_lower(singer);
            continue;
        }
        const QString title = rows.Field("song_name");
        songs.push_back(
            {{num, title, singer}, rows.FieldInt("song_kind"), ascii_lower(title), ascii_lower(singer)});
    }
    songs_ = std::move(songs);
    read_path_ = db_path;
    read_modified_ = file.lastModified();
    read_size_ = file.size();
}

bool SongSearch::matches(const Song& song, const QString& query, const QString& folded_query) {
    return song.shown.num.startsWith(query) || song.folded_title.contains(folded_query) ||
           song.folded_singers.contains(folded_query);
}

FoundPage SongSearch::search(const QString& db_path, const QString& query, int song_kind, int page) {
    read_catalogue_if_changed(db_path);
    const QString folded_query = ascii_lower(query);
    const qint64 skip = qint64(page - 1) * kSongsPerPage;
    qint64 matched = 0;
    FoundPage found;
    for (const Song& song : songs_) {
        if ((song_kind != kAnyKind && song.kind != song_kind) || !matches(song, query, folded_query))
            continue;
        if (matched++ < skip) continue;
        if (static_cast<int>(found.songs.size()) == kSongsPerPage) {
            found.more = true;
            break;
        }
        found.songs.push_back(song.shown);
    }
    return found;
}
