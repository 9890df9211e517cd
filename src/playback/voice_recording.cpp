#include "playback/voice_recording.h"

#include "foundation/app_state.h"
#include "platform/durable_file.h"
#include "platform/log.h"
#include "platform/wave_capture.h"
#include "platform/wave_file.h"

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

// The final name holds a complete file or none: a copy that fails (full
// disk) must not leave a truncated take behind.
void move_take(const QString& from, const QString& to) {
    if (QFile::rename(from, to) || QFile::copy(from, to)) {
        sync_folder_of(to);
        return;
    }
    QFile::remove(to);
    qCWarning(lcCapture).noquote() << "take lost: neither renamed nor copied from" << from << "to" << to;
}

// The name is on disk before the first sample is, or a take the next start
// finds would have none to go under.
void remember_take_name(const AppState& state, const QString& record_file) {
    if (!replace_file_durably(take_name_path(state), record_file.toUtf8()))
        qCWarning(lcCapture).noquote() << "take name not kept:" << take_name_path(state);
}

void forget_take_name(const AppState& state) {
    remove_file_durably(take_name_path(state));
}

QString remembered_take_name(const AppState& state) {
    QFile file(take_name_path(state));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

QString take_spool_path(const AppState& state) {
    return state.program_folder + "/TakeInProgress.wav";
}

QString take_name_path(const AppState& state) {
    return state.program_folder + "/TakeInProgress.name";
}

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
    remember_take_name(state, record_file);
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
    // the same name is then kept rather than replaced by nothing.
    if (QFile::exists(temporary)) {
        QFile::remove(record_file);
        move_take(temporary, record_file);
    }
    forget_take_name(state);
    send(state, kCaptureCloseAll);
    QFile::remove(temporary);
}

void discard_recording_take(const AppState& state, const QString& record_file) {
    send(state, kCaptureStop);
    send(state, kCaptureCloseAll);
    forget_take_name(state);
    QFile::remove(temporary_wave_path(state));
    if (!record_file.isEmpty()) QFile::remove(record_file);
}

void drop_recording_take(const AppState& state) {
    forget_take_name(state);
    send(state, kCaptureStop);
}

void recover_interrupted_take(const AppState& state) {
    const QString spool = take_spool_path(state);
    const QString record_file = remembered_take_name(state);
    if (QFile::exists(spool)) {
        const qint64 frames = repair_wave_file(spool);
        // A take already under its name was saved before the end came.
        if (frames > 0 && !record_file.isEmpty() && !QFile::exists(record_file))
            move_take(spool, record_file);
        remove_file_durably(spool);
    }
    forget_take_name(state);
}
