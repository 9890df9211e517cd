#pragma once

// What the fuzz targets check besides crashes and sanitizer reports: the
// parsers' promises, each a plain condition that aborts when broken.

#include "manager/batch_file.h"
#include "manager/song_file_name.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstdlib>

inline const std::array<QString, 8>& fuzz_kind_names() {
    static const std::array<QString, 8> names{"台語", "國語", "客語", "英語", "日語", "兒歌", "其它", "粵語"};
    return names;
}

inline const QStringList& fuzz_folder_files() {
    static const QStringList files{"song07.mpg", "家後.mp3", "a.b.c", "noext", "江蕙,家後,國語,2.mp3"};
    return files;
}

inline void require(bool condition) {
    if (!condition) std::abort();
}

// A well-formed name has a title, singers, a known category and a length of 1 to 254.
inline void fuzz_song_file_name(const QByteArray& bytes) {
    const QString name = QString::fromUtf8(bytes);
    const SongFileName parsed = parse_song_file_name(name, fuzz_kind_names());
    is_supported_song_file(name);
    if (parsed.format_error != FileNameError::None) return;
    require(parsed.text_count >= 1 && parsed.text_count < kNoTextCount);
    require(!parsed.song_name.isEmpty() && !parsed.singer_names().contains(QString()));
    require(std::find(fuzz_kind_names().begin(), fuzz_kind_names().end(), parsed.kind_name) !=
            fuzz_kind_names().end());
}

// A batch that passes names only files of the folder, known categories and
// lengths of 1 to 254, and never more lines than the limit.
inline void fuzz_batch_file(const QByteArray& bytes) {
    const QString text = decode_text_file(bytes);
    const BatchCheck check = check_batch_file(text, fuzz_folder_files(), fuzz_kind_names());
    check.message();
    if (check.problem != BatchProblem::None) {
        require(check.songs.empty());
        return;
    }
    require(check.data_lines <= kMostBatchLines && static_cast<int>(check.songs.size()) == check.data_lines);
    for (const BatchSong& song : check.songs) {
        require(fuzz_folder_files().contains(song.file_name));
        require(song.song_kind >= 0 && song.song_kind < 8);
        require(song.text_count >= 1 && song.text_count < kNoTextCount);
    }
}
