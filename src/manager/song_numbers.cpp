#include "manager/song_numbers.h"

#include "foundation/catalogue.h"

#include <QSet>

namespace {

QString song_num_prefix(int song_kind, int song_text_count) {
    return QString::number(song_kind).trimmed() + QString("%1").arg(song_text_count, 2, 10, QChar('0'));
}

QSet<QString> numbers_with_prefix(const QString& prefix, const QString& db_path) {
    Recordset rs = open_recordset(
        "SELECT song_num FROM song WHERE song_num LIKE '" + prefix + "%' ORDER BY song_num", db_path);
    QSet<QString> taken;
    taken.reserve(rs.RecordCount());
    for (; !rs.Eof(); rs.MoveNext()) taken.insert(rs.Field("song_num"));
    return taken;
}

}  // namespace

QString Get_NewSongNum(int song_kind, int song_text_count, const QString& db_path) {
    const QString prefix = song_num_prefix(song_kind, song_text_count);
    const QSet<QString> taken = numbers_with_prefix(prefix, db_path);
    for (int serial = 1; serial <= kHighestSongSerial; ++serial) {
        QString candidate = prefix + QString("%1").arg(serial, 3, 10, QChar('0'));
        if (!taken.contains(candidate)) return candidate;
    }
    return {};
}
