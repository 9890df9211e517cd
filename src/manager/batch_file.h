#pragma once

// The batch registration file: one song per line, "檔案,歌名,種類,歌手,字數",
// "#" starting a comment line. Reading and checking it is plain text work;
// the folder's file names come from the caller.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// The most data lines one batch file may hold.
inline constexpr int kMostBatchLines = 501;

// The text of a file written on Windows or here: a UTF-8 byte-order mark is
// skipped; bytes that are no valid UTF-8 are read as Big5 (code page 950).
QString decode_text_file(const QByteArray& bytes);

// The lines of a text; CR LF and LF both end a line.
QStringList text_lines(const QString& text);

// The file of the folder that a batch line's first field names: the file of
// exactly that name, else the first (in `folder_files` order) whose name
// before its extension ends with the field, a whole number written with at
// least two digits ("7" finds "song07.mpg"). Only names in `folder_files`
// can be found, so a field cannot reach outside the folder. Empty when none.
QString find_batch_media_file(const QString& field, const QStringList& folder_files);

// One data line that passed the check.
struct BatchSong {
    QString line;
    QString file_name;  // the name of the media file in the batch file's folder
    QString song_name;  // trimmed
    int song_kind = 0;
    int text_count = 0;
    QString singer;  // trimmed
};

enum class BatchProblem { None, TooFewFields, FileNotFound, UnknownKind, BadTextCount, TooManyLines };

struct BatchCheck {
    BatchProblem problem = BatchProblem::None;
    QString line;                  // the line refused
    int data_lines = 0;            // how many data lines the file holds
    std::vector<BatchSong> songs;  // every data line when there is no problem

    // The message that reports the problem to the manager.
    QString message() const;
};

// Checks every data line in order and stops at the first problem. A file
// with more than kMostBatchLines data lines is refused before any line is checked.
BatchCheck check_batch_file(const QString& text, const QStringList& folder_files,
                            const std::array<QString, 8>& kind_names);
