#include "manager/batch_file.h"

#include "manager/song_file_name.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <unicode/ucnv.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int kFieldsPerLine = 5;

bool is_valid_utf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

// ICU's "Big5" is Windows' code page 950, as Chinese Windows writes files.
QString decode_big5(QByteArrayView bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open("Big5", &status));
    if (U_FAILURE(status)) return QString::fromLatin1(bytes);
    const int capacity = static_cast<int>(bytes.size()) + 1;  // never more UTF-16 units than bytes
    QString text(capacity, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    const int length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()), capacity,
                                     bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) return QString::fromLatin1(bytes);
    text.truncate(length);
    return text;
}

bool is_comment_or_blank(const QString& line) {
    const QString trimmed = line.trimmed();
    return trimmed.isEmpty() || trimmed.startsWith('#');
}

// The field as it ends a name: a whole number with at least two digits.
QString name_ending(const QString& field) {
    static const QRegularExpression whole_number("^[0-9]{1,9}$");
    if (!whole_number.match(field).hasMatch()) return field;
    return QString("%1").arg(field.toInt(), 2, 10, QChar('0'));
}

int kind_code(const QString& name, const std::array<QString, 8>& kind_names) {
    const auto found = std::find(kind_names.begin(), kind_names.end(), name);
    return found == kind_names.end() ? -1 : static_cast<int>(found - kind_names.begin());
}

// The title length of the fifth field: its integer part, 1 to 254.
int text_count_of(const QString& field) {
    double value = 0;
    if (!parse_user_number(field, value)) return 0;
    const double whole = std::floor(value);
    return whole >= 1 && whole < kNoTextCount ? static_cast<int>(whole) : 0;
}

BatchProblem check_line(const QString& line, const QStringList& folder_files,
                        const std::array<QString, 8>& kind_names, BatchSong& song) {
    const QStringList fields = line.split(',');
    if (fields.size() < kFieldsPerLine) return BatchProblem::TooFewFields;
    song.line = line;
    song.file_name = find_batch_media_file(fields[0], folder_files);
    if (song.file_name.isEmpty()) return BatchProblem::FileNotFound;
    song.song_kind = kind_code(fields[2], kind_names);
    if (song.song_kind < 0) return BatchProblem::UnknownKind;
    song.text_count = text_count_of(fields[4]);
    if (song.text_count == 0) return BatchProblem::BadTextCount;
    song.song_name = fields[1].trimmed();
    song.singer = fields[3].trimmed();
    return BatchProblem::None;
}

}  // namespace

QString decode_text_file(const QByteArray& bytes) {
    QByteArrayView content(bytes);
    if (content.startsWith("\xEF\xBB\xBF")) content = content.sliced(3);
    if (is_valid_utf8(content)) return QString::fromUtf8(content);
    return decode_big5(content);
}

QStringList text_lines(const QString& text) {
    QStringList lines = text.split('\n');
    for (QString& line : lines) {
        if (line.endsWith('\r')) line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QString find_batch_media_file(const QString& field, const QStringList& folder_files) {
    const QString wanted = field.trimmed();
    if (wanted.isEmpty()) return {};
    if (folder_files.contains(wanted)) return wanted;
    const QString ending = name_ending(wanted);
    for (const QString& name : folder_files) {
        if (strip_extension(name).endsWith(ending, Qt::CaseInsensitive)) return name;
    }
    return {};
}

QString BatchCheck::message() const {
    switch (problem) {
        case BatchProblem::None:
            return {};
        case BatchProblem::TooFewFields:
            return "批次檔內容錯誤 !\n" + line;
        case BatchProblem::FileNotFound:
            return "您所指定的批次檔中=>" + line + "<=找不到指定的檔!";
        case BatchProblem::UnknownKind:
            return "您所指定的批次檔中=>" + line + "<=找不到指定的歌曲種類!";
        case BatchProblem::BadTextCount:
            return "您所指定的批次檔中=>" + line + "<=所定義的字數有問題!";
        case BatchProblem::TooManyLines:
            return QString("批次檔最多只能有%1筆資料, 本檔有%2筆! 請分成幾個批次檔登錄.")
                .arg(kMostBatchLines)
                .arg(data_lines);
    }
    return {};
}

BatchCheck check_batch_file(const QString& text, const QStringList& folder_files,
                            const std::array<QString, 8>& kind_names) {
    BatchCheck check;
    QStringList data;
    for (const QString& line : text_lines(text)) {
        if (!is_comment_or_blank(line)) data << line;
    }
    check.data_lines = static_cast<int>(data.size());
    if (check.data_lines > kMostBatchLines) {
        check.problem = BatchProblem::TooManyLines;
        return check;
    }
    for (const QString& line : data) {
        BatchSong song;
        check.problem = check_line(line, folder_files, kind_names, song);
        if (check.problem != BatchProblem::None) {
            check.line = line;
            check.songs.clear();
            return check;
        }
        check.songs.push_back(std::move(song));
    }
    return check;
}
