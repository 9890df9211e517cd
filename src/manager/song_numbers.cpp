#include "manager/song_numbers.h"

#include "foundation/catalogue_operations.h"
#include "foundation/lookups.h"

namespace {

QString song_num_prefix(int song_kind, int song_text_count) {
    return QString::number(song_kind).trimmed() + QString("%1").arg(song_text_count, 2, 10, QChar('0'));
}

QString song_num_of(const QString& prefix, int serial) {
    return prefix + QString("%1").arg(serial, 3, 10, QChar('0'));
}

QSet<QString> numbers_with_prefix(const QString& prefix, const QString& db_path) {
    Recordset rs = numbers_beginning_with(shared_session(db_path), prefix);
    QSet<QString> taken;
    taken.reserve(rs.RecordCount());
    for (; !rs.Eof(); rs.MoveNext()) taken.insert(rs.Field("song_num"));
    return taken;
}

// The lowest serial from `first` on whose number is not taken, or 0.
int lowest_free_serial(const QString& prefix, const QSet<QString>& taken, int first) {
    for (int serial = first; serial <= kHighestSongSerial; ++serial) {
        if (!taken.contains(song_num_of(prefix, serial))) return serial;
    }
    return 0;
}

}  // namespace

QString Get_NewSongNum(int song_kind, int song_text_count, const QString& db_path) {
    const QString prefix = song_num_prefix(song_kind, song_text_count);
    const int serial = lowest_free_serial(prefix, numbers_with_prefix(prefix, db_path), 1);
    return serial == 0 ? QString() : song_num_of(prefix, serial);
}

QString SongNumberAllocator::next(int song_kind, int song_text_count) {
    const QString prefix = song_num_prefix(song_kind, song_text_count);
    auto found = by_prefix_.find(prefix);
    if (found == by_prefix_.end())
        found = by_prefix_.insert(prefix, {numbers_with_prefix(prefix, db_path_), 1});
    Serials& serials = found.value();
    const int serial = lowest_free_serial(prefix, serials.taken, serials.lowest_untried);
    if (serial == 0) return {};
    serials.lowest_untried = serial + 1;
    const QString number = song_num_of(prefix, serial);
    serials.taken.insert(number);
    return number;
}

QString store_under_free_number(const QString& proposed, int song_kind, int song_text_count,
                                const QString& db_path, const std::function<void(const QString&)>& insert) {
    NumberingTransaction transaction(db_path);
    const Recordset taken = songs_numbered(shared_session(db_path), proposed, 1);
    const QString number = taken.Eof() ? proposed : Get_NewSongNum(song_kind, song_text_count, db_path);
    if (number.isEmpty()) return number;
    insert(number);
    transaction.commit();
    return number;
}
