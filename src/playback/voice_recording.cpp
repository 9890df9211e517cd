#include "playback/voice_recording.h"

#include "foundation/app_state.h"
#include "platform/log.h"
#include "platform/wave_capture.h"

#include <QFile>

#include <initializer_list>

namespace {

// Linux file systems hold at most 255 bytes in one name.
constexpr qsizetype kMaxFileNameBytes = 255;

// The steps go on whatever a command came to, but a take that yields no
// file is logged with the reason. A device that is not open (a stop after
// the take was closed) is part of the normal course.
void send(const AppState& state, const QString& command) {
    if (!state.platform.capture) return;
    const CaptureStatus status = state.platform.capture->send(command);
    if (status != CaptureStatus::ok && status != CaptureStatus::not_open &&
        status != CaptureStatus::already_open)
        qCWarning(lcCapture).noquote()
            << "capture command failed:" << command << "->" << capture_status_name(status);
}

void send_all(const AppState& state, std::initializer_list<const char*> commands) {
    for (const char* command : commands) send(state, command);
}

// Drops whole characters from the end until the text fits the bytes in UTF-8.
QString cut_to_utf8_bytes(QString text, qsizetype max_bytes) {
    while (text.toUtf8().size() > max_bytes) {
        const qsizetype last = text.size() - 1;
        const bool surrogate_pair =
            last > 0 && text.at(last).isLowSurrogate() && text.at(last - 1).isHighSurrogate();
        text.chop(surrogate_pair ? 2 : 1);
    }
    return text;
}

// A title may hold a "/", which would make the name a path into another
// folder; the full-width slash reads the same.
QString file_name_text(const QString& display_text) {
    QString text = display_text.trimmed();
    text.replace(QChar('/'), QStringLiteral("／"));
    text.remove(QChar('\0'));
    return text;
}

// A finished take of the same song in the same minute keeps its file: the
// new take takes the next free copy number.
QString free_record_file_name(const AppState& state) {
    const QDateTime now = QDateTime::currentDateTime();
    const QString display_text = state.play_queue.display_at(0);
    constexpr int kMostCopies = 999;
    QString name;
    for (int copy = 1; copy <= kMostCopies; ++copy) {
        name = record_file_name(state.settings.RecordPath, now, display_text, copy);
        if (!QFile::exists(name)) break;
    }
    return name;
}

}  // namespace

QString temporary_wave_path(const AppState& state) {
    return state.app_folder + "TEMPWave.wav";
}

QString record_file_name(const QString& record_path, const QDateTime& when, const QString& display_text,
                         int copy) {
    const QString folder = record_path.endsWith('/') ? record_path : record_path + '/';
    const QString stamp = when.toString("yyMMddHHmm");
    const QString ending = (copy > 1 ? QString(" (%1)").arg(copy) : QString()) + ".wav";
    const qsizetype room = kMaxFileNameBytes - stamp.toUtf8().size() - ending.toUtf8().size();
    return folder + stamp + cut_to_utf8_bytes(file_name_text(display_text), room) + ending;
}

QString open_take(const AppState& state) {
    const QString record_file = free_record_file_name(state);
    send_all(state, {kCaptureCloseAll, kCaptureOpen, kCaptureStop, kCaptureSeekToStart, kCaptureSetFormat,
                     kCaptureRecord});
    return record_file;
}

void clear_take(const AppState& state, const QString& record_file) {
    send(state, kCaptureStop);
    QFile::remove(temporary_wave_path(state));
    if (!record_file.isEmpty()) QFile::remove(record_file);
}

void reopen_take(const AppState& state) {
    send_all(state, {kCaptureCloseAll, kCaptureOpen, kCaptureSeekToStart, kCaptureSetFormat, kCaptureRecord});
}

void end_recording_take(const AppState& state, const QString& record_file) {
    const QString temporary = temporary_wave_path(state);
    QFile::remove(temporary);
    send(state, kCaptureStop);
    send(state, kCaptureSavePrefix + temporary);
    // No input (or a busy one) leaves no temporary file; an earlier take of
    // the same name is then kept rather than replaced by nothing. The final
    // name holds a complete file or none: a copy that fails (full disk) must
    // not leave a truncated take behind.
    if (QFile::exists(temporary)) {
        QFile::remove(record_file);
        if (!QFile::rename(temporary, record_file) && !QFile::copy(temporary, record_file)) {
            QFile::remove(record_file);
            qCWarning(lcCapture).noquote()
                << "take lost: neither renamed nor copied from" << temporary << "to" << record_file;
        }
    }
    send(state, kCaptureCloseAll);
    QFile::remove(temporary);
}

void discard_recording_take(const AppState& state, const QString& record_file) {
    send(state, kCaptureStop);
    send(state, kCaptureCloseAll);
    QFile::remove(temporary_wave_path(state));
    if (!record_file.isEmpty()) QFile::remove(record_file);
}

void drop_recording_take(const AppState& state) {
    send(state, kCaptureStop);
}
