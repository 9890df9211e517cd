#include "platform/alsa_wave_capture.h"

#include "platform/capture_command.h"
#include "platform/wave_file.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

// Small reads (23 ms): far below any device's buffer, and the pacing follows
// the clock closely.
constexpr snd_pcm_uframes_t kReadFrames = 1024;
// How long one read's worth of frames lasts: the pause of a worker that is
// ahead of the clock.
constexpr auto kReadDuration = std::chrono::microseconds(1'000'000LL * kReadFrames / kWaveSampleRate);
// How long the worker waits for the device before it looks at the stop flag again.
constexpr int kDeviceWaitMs = 50;
constexpr unsigned kDeviceLatencyUs = 500'000;
constexpr qint64 kMaxFrames = kWaveMaxDataBytes / kWaveBlockAlign;

}  // namespace

std::chrono::nanoseconds AlsaWaveCapture::steady_now() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

AlsaWaveCapture::AlsaWaveCapture(std::string device, TimeSource now)
    : device_(std::move(device)), now_(std::move(now)) {}

AlsaWaveCapture::~AlsaWaveCapture() {
    close_device();
}

CaptureStatus AlsaWaveCapture::send(const QString& command) {
    const CaptureCommand parsed = parse_capture_command(command);
    switch (parsed.verb) {
        case CaptureVerb::close_all:
            close_device();
            return CaptureStatus::ok;
        case CaptureVerb::open_new:
            return open_device();
        case CaptureVerb::unknown:
            return CaptureStatus::refused;
        default:
            break;
    }
    if (!pcm_) return CaptureStatus::not_open;
    switch (parsed.verb) {
        case CaptureVerb::stop:
            stop_recording();
            return CaptureStatus::ok;
        case CaptureVerb::seek_to_start:
            discard_take();
            return CaptureStatus::ok;
        case CaptureVerb::record:
            return start_recording();
        case CaptureVerb::save:
            return save_take(parsed.path);
        case CaptureVerb::close:
            close_device();
            return CaptureStatus::ok;
        default:  // set_format: the device was opened in the one format there is
            return CaptureStatus::ok;
    }
}

CaptureStatus AlsaWaveCapture::open_device() {
    if (pcm_) return CaptureStatus::already_open;
    // Non-blocking: opening a busy sound card would otherwise wait, on the
    // window thread, until whoever holds it lets go.
    if (snd_pcm_open(&pcm_, device_.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0) {
        pcm_ = nullptr;
        return CaptureStatus::no_device;
    }
    if (snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, kWaveChannels,
                           kWaveSampleRate, 1, kDeviceLatencyUs) < 0) {
        close_device();
        return CaptureStatus::no_device;
    }
    return CaptureStatus::ok;
}

void AlsaWaveCapture::close_device() {
    discard_take();
    if (pcm_) snd_pcm_close(pcm_);
    pcm_ = nullptr;
}

CaptureStatus AlsaWaveCapture::start_recording() {
    if (worker_.joinable()) return CaptureStatus::ok;
    if (snd_pcm_prepare(pcm_) < 0 || snd_pcm_start(pcm_) < 0) return CaptureStatus::no_device;
    has_take_ = true;
    spool_.open();
    stop_requested_ = false;
    // A "record" after a "stop" goes on where the take stopped.
    worker_ = std::thread(&AlsaWaveCapture::capture_loop, this, kept_frames_.load(), now_());
    return CaptureStatus::ok;
}

void AlsaWaveCapture::stop_recording() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(wake_mutex_);
        stop_requested_ = true;
    }
    wake_.notify_all();
    worker_.join();
    snd_pcm_drop(pcm_);
    spool_.sync();
}

void AlsaWaveCapture::discard_take() {
    stop_recording();
    frames_.clear();
    kept_frames_ = 0;
    has_take_ = false;
    spool_.remove();
}

CaptureStatus AlsaWaveCapture::save_take(const QString& path) {
    stop_recording();
    if (!has_take_) return CaptureStatus::nothing_recorded;
    return write_wave_file(path, frames_) ? CaptureStatus::ok : CaptureStatus::write_failed;
}

qint64 AlsaWaveCapture::frames_allowed(qint64 frames_before, std::chrono::nanoseconds started) const {
    const qint64 elapsed_ns = std::max<qint64>(0, (now_() - started).count());
    return std::min(kMaxFrames, frames_before + elapsed_ns * kWaveSampleRate / 1'000'000'000);
}

void AlsaWaveCapture::pause_until_woken() {
    std::unique_lock lock(wake_mutex_);
    wake_.wait_for(lock, kReadDuration, [this] { return stop_requested_.load(); });
}

void AlsaWaveCapture::capture_loop(qint64 frames_before, std::chrono::nanoseconds started) {
    std::vector<char> buffer(kReadFrames * kWaveBlockAlign);
    while (!stop_requested_) {
        const qint64 room = frames_allowed(frames_before, started) - kept_frames_;
        if (room <= 0) {
            pause_until_woken();
            continue;
        }
        if (snd_pcm_wait(pcm_, kDeviceWaitMs) == 0) continue;
        // Some devices ("null") report frames without writing them.
        std::fill(buffer.begin(), buffer.end(), 0);
        const snd_pcm_sframes_t got = snd_pcm_readi(pcm_, buffer.data(), kReadFrames);
        if (got == -EAGAIN) continue;
        if (got < 0) {
            // An overrun loses what the device could not hold; anything
            // else (the device went away) ends the take with what it has.
            if (snd_pcm_recover(pcm_, int(got), 1) < 0) return;
            if (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED && snd_pcm_start(pcm_) < 0) return;
            continue;
        }
        const qint64 kept = std::min<qint64>(got, room);
        frames_.append(buffer.data(), kept * kWaveBlockAlign);
        spool_.append(buffer.data(), kept * kWaveBlockAlign);
        kept_frames_ += kept;
    }
}
