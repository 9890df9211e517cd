#include "support/fake_wave_capture.h"

#include "platform/capture_command.h"
#include "platform/wave_file.h"

CaptureStatus FakeWaveCapture::send(const QString& command) {
    commands << command;
    const CaptureCommand parsed = parse_capture_command(command);
    switch (parsed.verb) {
        case CaptureVerb::unknown:
            return CaptureStatus::refused;
        case CaptureVerb::close_all:
            close();
            return CaptureStatus::ok;
        case CaptureVerb::open_new:
            return open();
        default:
            break;
    }
    if (!open_) return CaptureStatus::not_open;
    switch (parsed.verb) {
        case CaptureVerb::record:
            has_take_ = recording = true;
            return CaptureStatus::ok;
        case CaptureVerb::stop:
            recording = false;
            return CaptureStatus::ok;
        case CaptureVerb::seek_to_start:
            has_take_ = recording = false;
            return CaptureStatus::ok;
        case CaptureVerb::save:
            return save(parsed.path);
        case CaptureVerb::close:
            close();
            return CaptureStatus::ok;
        default:  // set format
            return CaptureStatus::ok;
    }
}

CaptureStatus FakeWaveCapture::open() {
    if (open_) return CaptureStatus::already_open;
    if (fail_open) return CaptureStatus::no_device;
    open_ = true;
    return CaptureStatus::ok;
}

void FakeWaveCapture::close() {
    open_ = has_take_ = recording = false;
}

CaptureStatus FakeWaveCapture::save(const QString& path) {
    recording = false;
    if (!has_take_) return CaptureStatus::nothing_recorded;
    const QByteArray silence(qsizetype(frames_per_save) * kWaveBlockAlign, '\0');
    return write_wave_file(path, silence) ? CaptureStatus::ok : CaptureStatus::write_failed;
}
