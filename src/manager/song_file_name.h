#pragma once

// The song data that a media file's name carries, for registration by file
// name: "歌手1+歌手2,歌名,種類,字數.副檔名". Plain text work only, no catalogue.

#include <QString>
#include <QStringList>

#include <array>

// The title length that marks "no valid length".
inline constexpr int kNoTextCount = 255;

// Why a name cannot be registered as it stands.
enum class FileNameError {
    None = 0,
    UnknownKind = 1,     // the category is not one of the eight names
    BadTextCount = 2,    // the length is no number from 1 to 254
    WrongPartCount = 3,  // not four parts separated by ",", or an empty title or singer name
};

struct SongFileName {
    QString singer;  // the singer part, names joined by "+", trimmed
    QString song_name;
    QString kind_name;
    int text_count = kNoTextCount;
    FileNameError format_error = FileNameError::None;

    // The singer names, split at "+" and trimmed, in order.
    QStringList singer_names() const;
};

// Parses a file name (with its extension, without its folder). The category
// name must match one of `kind_names` exactly; with both the category and the
// length wrong, the length is the error reported.
SongFileName parse_song_file_name(const QString& file_name, const std::array<QString, 8>& kind_names);

// The extensions of the media files registration by file name takes.
const QStringList& supported_song_extensions();

// True when the name's extension is a supported one, in any case.
bool is_supported_song_file(const QString& file_name);

// The name without its last extension ("a.b.mp3" gives "a.b").
QString strip_extension(const QString& file_name);

// Parses a number as a user writes one: blanks around it, an optional sign,
// digits with an optional decimal part or exponent. False when it is none or
// not finite.
bool parse_user_number(const QString& text, double& value);
