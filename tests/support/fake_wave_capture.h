#pragma once

#include "platform/wave_capture.h"

#include <QStringList>

// A sound input for tests of the recording steps: remembers every command text
// it was sent and follows the same rules as the real capture (same texts
// accepted, no file without an open device and a "record"), but "save" writes
// a short file of silence at once.
class FakeWaveCapture final : public WaveCapture {
public:
    CaptureStatus send(const QString& command) override;

    QStringList commands;       // every text received, in order
    bool fail_open = false;     // "open" finds no sound input
    bool recording = false;     // between "record" and the next stop, rewind, save or close
    int frames_per_save = 441;  // 10 ms of silence
    bool is_open() const { return open_; }

private:
    CaptureStatus open();
    void close();
    CaptureStatus save(const QString& path);

    bool open_ = false;
    bool has_take_ = false;
};
