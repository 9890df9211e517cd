#include "mixer/voice_recording.h"

#include "foundation/app_state.h"
#include "platform/wave_capture.h"

#include <QFile>

namespace {
void send(const AppState& state, const QString& command) {
    if (state.platform.capture) state.platform.capture->send(command);
}
}  // namespace

QString temporary_wave_path(const AppState& state) {
    return state.app_folder + "TEMPWave.wav";
}

void end_recording_take(AppState& state) {
    state.is_recording = false;
    const QString temporary = temporary_wave_path(state);
    QFile::remove(temporary);
    send(state, kCaptureStop);
    send(state, kCaptureSavePrefix + temporary);
    // No input (or a busy one) leaves no temporary file; an earlier take of
    // the same name is then kept rather than replaced by nothing.
    if (QFile::exists(temporary)) {
        QFile::remove(state.record_file);
        QFile::copy(temporary, state.record_file);
    }
    send(state, kCaptureCloseAll);
    QFile::remove(temporary);
}

void discard_recording_take(AppState& state) {
    send(state, kCaptureStop);
    send(state, kCaptureCloseAll);
    QFile::remove(temporary_wave_path(state));
    if (!state.record_file.isEmpty()) QFile::remove(state.record_file);
    state.is_recording = false;
}
