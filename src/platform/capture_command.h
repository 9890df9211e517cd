#pragma once

#include <QString>

// One capture command text taken apart. Shared by every WaveCapture so that
// all of them accept and refuse exactly the same texts.
enum class CaptureVerb { close_all, open_new, stop, seek_to_start, set_format, record, save, close, unknown };

struct CaptureCommand {
    CaptureVerb verb = CaptureVerb::unknown;
    QString path;  // the file of "save"
};

// Words are compared without regard to case and may be separated by any run
// of blanks; a trailing "wait" is accepted and means nothing here, since every
// command completes before it returns. "set" is known only with the one format
// the capture records (44100 Hz, 16 bit, 2 channels, PCM); any other value
// makes it unknown, so that nobody believes a different format was set.
CaptureCommand parse_capture_command(const QString& text);
