#pragma once

#include "platform/take_spool.h"
#include "platform/wave_capture.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct _snd_pcm;

// Records from an ALSA capture device (normally "default", the sound card's
// input) in the jukebox's one format, on a thread of its own.
//
// A take keeps no more frames than its duration on the time source allows, so
// an input that delivers faster than real time (ALSA's "null", a file) cannot
// fill memory or disk: the excess is dropped. The frames are held in memory
// until "save" writes them; "seek capture to start" and closing discard them.
// Given a spool file, the take is also written there as it runs, so that a
// crash leaves it on disk; saving leaves the spool, discarding removes it.
class AlsaWaveCapture final : public WaveCapture {
public:
    // A steady clock; tests pass one they move by hand.
    using TimeSource = std::function<std::chrono::nanoseconds()>;
    static std::chrono::nanoseconds steady_now();

    explicit AlsaWaveCapture(std::string device = "default", TimeSource now = steady_now);
    ~AlsaWaveCapture() override;
    AlsaWaveCapture(const AlsaWaveCapture&) = delete;
    AlsaWaveCapture& operator=(const AlsaWaveCapture&) = delete;

    CaptureStatus send(const QString& command) override;

    // Where each take is written while it runs (none by default). Set
    // before the first take.
    void spool_takes_to(const QString& path) { spool_.set_path(path); }

    // Frames kept so far by the current or last take; safe while recording.
    qint64 captured_frames() const { return kept_frames_.load(); }
    // From "record" until the take is stopped, rewound, saved or closed.
    bool is_recording() const { return worker_.joinable(); }

private:
    CaptureStatus open_device();
    void close_device();
    CaptureStatus start_recording();
    void stop_recording();
    void discard_take();
    CaptureStatus save_take(const QString& path);

    void capture_loop(qint64 frames_before, std::chrono::nanoseconds started);
    qint64 frames_allowed(qint64 frames_before, std::chrono::nanoseconds started) const;
    void pause_until_woken();

    const std::string device_;
    const TimeSource now_;
    _snd_pcm* pcm_ = nullptr;
    bool has_take_ = false;  // a "record" ran since the device was opened or rewound

    // Written by the worker while it runs; read by the window thread only
    // after it has joined the worker.
    QByteArray frames_;
    std::atomic<qint64> kept_frames_ = 0;
    TakeSpool spool_;

    std::thread worker_;
    std::atomic<bool> stop_requested_ = false;
    std::mutex wake_mutex_;
    std::condition_variable wake_;
};
