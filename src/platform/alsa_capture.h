#pragma once

// What the voice recording and the microphone's pitch share of the capture
// device: 16-bit frames at the wave files' rate and channels, read in small
// runs that follow a clock.

#include <QtGlobal>

#include <chrono>
#include <string>

struct _snd_pcm;

// Reads of 23 ms: far below any device's buffer (ALSA refuses larger ones
// from a file), and the pacing follows the clock closely.
constexpr unsigned long kCaptureReadFrames = 1024;
// How long one read's worth of frames lasts: the pause of a reader that is
// ahead of the clock.
extern const std::chrono::microseconds kCaptureReadDuration;

// The device opened without blocking (a busy sound card would otherwise
// hold the window thread until whoever has it lets go) and set to the wave
// files' format; nothing when it cannot be.
_snd_pcm* open_capture_device(const std::string& device);

// The frames the clock allows since `started`: an input faster than real
// time (a file) is read no faster than a microphone.
qint64 capture_frames_since(std::chrono::nanoseconds now, std::chrono::nanoseconds started);

// Waits a moment for the device, then reads at most `wanted` frames into
// `buffer` (zeroed first: some devices, "null", report frames without
// writing them). The frames read; 0 when none came (look at the stop flag
// and try again); -1 when the device went away. An overrun loses what the
// device could not hold, and the reading goes on.
long read_capture(_snd_pcm* pcm, void* buffer, unsigned long wanted);
