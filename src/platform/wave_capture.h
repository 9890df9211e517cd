#pragma once

#include <QString>

// What a capture command came to. The jukebox's recording steps send their
// commands one after another without looking at the results, so none of these
// is fatal; they tell tests and diagnostics why no file appeared.
enum class CaptureStatus {
    ok,
    refused,           // not a command this service knows, or a format it cannot record
    not_open,          // the capture device has not been opened
    already_open,      // "open" while the device is open
    no_device,         // the sound input is missing, busy or failed
    nothing_recorded,  // "save" before any "record" since the device was opened or rewound
    write_failed,      // the wave file could not be written; no file is left behind
};

// The status as the log names it.
constexpr const char* capture_status_name(CaptureStatus status) {
    switch (status) {
        case CaptureStatus::ok:
            return "ok";
        case CaptureStatus::refused:
            return "refused";
        case CaptureStatus::not_open:
            return "device not open";
        case CaptureStatus::already_open:
            return "device already open";
        case CaptureStatus::no_device:
            return "no sound input (missing, busy or failed)";
        case CaptureStatus::nothing_recorded:
            return "nothing recorded";
        case CaptureStatus::write_failed:
            return "the wave file could not be written";
    }
    return "unknown";
}

// The sound input, driven by the textual multimedia commands the jukebox sends
// (the kCapture... texts below). Called from the window thread only; recording
// itself runs elsewhere, so no command blocks for longer than it takes to stop
// the recording.
class WaveCapture {
public:
    virtual ~WaveCapture() = default;
    virtual CaptureStatus send(const QString& command) = 0;
};

// The command texts, spelled as the recording steps send them. Blanks between
// words are not significant: runs of blanks separate words like one blank.
inline constexpr char kCaptureCloseAll[] = "close all";
inline constexpr char kCaptureOpen[] = "open new type waveaudio alias capture";
inline constexpr char kCaptureStop[] = "stop capture";
inline constexpr char kCaptureSeekToStart[] = "seek capture to start";
inline constexpr char kCaptureSetFormat[] =
    "set capture  samplespersec 44100  bitspersample 16  channels 2  alignment 4  bytespersec 176400  "
    "format tag pcm  wait";
inline constexpr char kCaptureRecord[] = "record capture";
inline constexpr char kCaptureSavePrefix[] = "save capture ";  // followed by the file's path
inline constexpr char kCaptureClose[] = "close capture";
