#include "manager/song_file_name.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// A length is a number that rounds to 1..254; it must also be above 0 as
// written (0.4 is refused although it would round to 0 anyway).
int text_count_of(const QString& part) {
    double value = 0;
    if (!parse_user_number(part, value) || value <= 0 || value >= kNoTextCount) return kNoTextCount;
    const double rounded = std::nearbyint(value);  // half to even, as the count was always rounded
    if (rounded < 1 || rounded >= kNoTextCount) return kNoTextCount;
    return static_cast<int>(rounded);
}

bool is_kind_name(const QString& name, const std::array<QString, 8>& kind_names) {
    return std::find(kind_names.begin(), kind_names.end(), name) != kind_names.end();
}

}  // namespace

QStringList SongFileName::singer_names() const {
    QStringList names = singer.split('+');
    for (QString& name : names) name = name.trimmed();
    return names;
}

bool parse_user_number(const QString& text, double& value) {
    static const QRegularExpression number(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)");
    if (!number.match(text).hasMatch()) return false;
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

QString strip_extension(const QString& file_name) {
    const qsizetype dot = file_name.lastIndexOf('.');
    return dot < 0 ? file_name : file_name.left(dot);
}

SongFileName parse_song_file_name(const QString& file_name, const std::array<QString, 8>& kind_names) {
    SongFileName parsed;
    const QStringList parts = strip_extension(file_name).split(',');
    if (parts.size() != 4) {
        parsed.format_error = FileNameError::WrongPartCount;
        return parsed;
    }
    parsed.singer = parts[0].trimmed();
    parsed.song_name = parts[1].trimmed();
    parsed.kind_name = parts[2].trimmed();
    // An empty title would be like every stored title, an empty name no singer.
    if (parsed.song_name.isEmpty() || parsed.singer_names().contains(QString())) {
        parsed.format_error = FileNameError::WrongPartCount;
        return parsed;
    }
    parsed.text_count = text_count_of(parts[3]);
    if (!is_kind_name(parsed.kind_name, kind_names)) parsed.format_error = FileNameError::UnknownKind;
    if (parsed.text_count == kNoTextCount) parsed.format_error = FileNameError::BadTextCount;
    return parsed;
}

const QStringList& supported_song_extensions() {
    static const QStringList extensions{"dat", "mpg", "avi", "mpeg", "wav", "mp3", "mid"};
    return extensions;
}

bool is_supported_song_file(const QString& file_name) {
    const qsizetype dot = file_name.lastIndexOf('.');
    if (dot < 0) return false;
    return supported_song_extensions().contains(file_name.mid(dot + 1), Qt::CaseInsensitive);
}
