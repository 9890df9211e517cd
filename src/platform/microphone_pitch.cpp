#include "platform/microphone_pitch.h"

#include "platform/alsa_capture.h"
#include "platform/wave_file.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <vector>

namespace {

std::chrono::nanoseconds steady_now() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

// The capture's 16-bit frames mixed to one channel of floats.
void mix_to_mono(const std::vector<std::int16_t>& frames, std::size_t count, std::vector<float>& mono) {
    mono.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        int sum = 0;
        for (int channel = 0; channel < kWaveChannels; ++channel) sum += frames[i * kWaveChannels + channel];
        mono[i] = static_cast<float>(sum) / (32768.0F * kWaveChannels);
    }
}

}  // namespace

AlsaMicrophonePitch::AlsaMicrophonePitch(std::string device, TimeSource now)
    : device_(std::move(device)), now_(now ? std::move(now) : TimeSource(steady_now)) {}

AlsaMicrophonePitch::~AlsaMicrophonePitch() {
    stop();
}

bool AlsaMicrophonePitch::start() {
    if (pcm_) return true;
    pcm_ = open_capture_device(device_);
    if (!pcm_) return false;
    if (snd_pcm_prepare(pcm_) < 0 || snd_pcm_start(pcm_) < 0) {
        close_device();
        return false;
    }
    track_.clear();
    followed_frames_ = 0;
    stop_requested_ = false;
    worker_ = std::thread(&AlsaMicrophonePitch::listen, this, now_());
    return true;
}

PitchTrack AlsaMicrophonePitch::stop() {
    stop_requested_ = true;
    if (worker_.joinable()) worker_.join();
    close_device();
    return std::move(track_);
}

void AlsaMicrophonePitch::close_device() {
    if (pcm_) snd_pcm_close(pcm_);
    pcm_ = nullptr;
}

void AlsaMicrophonePitch::listen(std::chrono::nanoseconds started) {
    PitchFollower follower(kWaveSampleRate);
    std::vector<std::int16_t> buffer(kCaptureReadFrames * kWaveChannels);
    std::vector<float> mono;
    while (!stop_requested_) {
        const qint64 room = capture_frames_since(now_(), started) - followed_frames_;
        if (room <= 0) {
            std::this_thread::sleep_for(kCaptureReadDuration);
            continue;
        }
        // No more than the clock allows: an input faster than real time (a
        // file) is then read in order, none of it thrown away.
        const auto wanted = static_cast<unsigned long>(std::min<qint64>(room, kCaptureReadFrames));
        const long got = read_capture(pcm_, buffer.data(), wanted);
        // A device gone away ends the listening with what it heard.
        if (got < 0) break;
        if (got == 0) continue;
        const auto kept = static_cast<std::size_t>(got);
        mix_to_mono(buffer, kept, mono);
        follower.add(mono.data(), kept);
        followed_frames_ += got;
    }
    track_ = follower.take_track();
}
