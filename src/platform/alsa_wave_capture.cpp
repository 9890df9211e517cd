#include "platform/alsa_wave_capture.h"

#include "platform/alsa_capture.h"
#include "platform/capture_command.h"
#include "platform/wave_file.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <vector>

namespace {

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
    pcm_ = open_capture_device(device_);
    return pcm_ ? CaptureStatus::ok : CaptureStatus::no_device;
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
    return std::min(kMaxFrames, frames_before + capture_frames_since(now_(), started));
}

void AlsaWaveCapture::pause_until_woken() {
    std::unique_lock lock(wake_mutex_);
    wake_.wait_for(lock, kCaptureReadDuration, [this] { return stop_requested_.load(); });
}

void AlsaWaveCapture::capture_loop(qint64 frames_before, std::chrono::nanoseconds started) {
    std::vector<char> buffer(kCaptureReadFrames * kWaveBlockAlign);
    while (!stop_requested_) {
        const qint64 room = frames_allowed(frames_before, started) - kept_frames_;
        if (room <= 0) {
            pause_until_woken();
            continue;
        }
        const long got = read_capture(pcm_, buffer.data(), kCaptureReadFrames);
        // A device gone away ends the take with what it has.
        if (got < 0) return;
        if (got == 0) continue;
        const qint64 kept = std::min<qint64>(got, room);
        frames_.append(buffer.data(), kept * kWaveBlockAlign);
        spool_.append(buffer.data(), kept * kWaveBlockAlign);
        kept_frames_ += kept;
    }
}
