#include "platform/microphone_pitch.h"

#include "platform/wave_file.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

// Reads of 23 ms, as the voice recording makes; ALSA refuses larger ones
// from a file.
constexpr snd_pcm_uframes_t kReadFrames = 1024;
constexpr auto kReadDuration = std::chrono::microseconds(1'000'000LL * kReadFrames / kWaveSampleRate);
constexpr int kDeviceWaitMs = 50;
constexpr unsigned kDeviceLatencyUs = 500'000;

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
    // Non-blocking: a busy input would otherwise hold the window thread.
    if (snd_pcm_open(&pcm_, device_.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0) {
        pcm_ = nullptr;
        return false;
    }
    if (snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, kWaveChannels,
                           kWaveSampleRate, 1, kDeviceLatencyUs) < 0 ||
        snd_pcm_prepare(pcm_) < 0 || snd_pcm_start(pcm_) < 0) {
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

qint64 AlsaMicrophonePitch::frames_allowed(std::chrono::nanoseconds started) const {
    const qint64 elapsed_ns = std::max<qint64>(0, (now_() - started).count());
    return elapsed_ns * kWaveSampleRate / 1'000'000'000;
}

void AlsaMicrophonePitch::listen(std::chrono::nanoseconds started) {
    PitchFollower follower(kWaveSampleRate);
    std::vector<std::int16_t> buffer(kReadFrames * kWaveChannels);
    std::vector<float> mono;
    while (!stop_requested_) {
        const qint64 room = frames_allowed(started) - followed_frames_;
        if (room <= 0) {
            std::this_thread::sleep_for(kReadDuration);
            continue;
        }
        if (snd_pcm_wait(pcm_, kDeviceWaitMs) == 0) continue;
        // Some devices ("null") report frames without writing them.
        std::fill(buffer.begin(), buffer.end(), 0);
        // No more than the clock allows: an input faster than real time (a
        // file) is then read in order, none of it thrown away.
        const auto wanted = static_cast<snd_pcm_uframes_t>(std::min<qint64>(room, kReadFrames));
        const snd_pcm_sframes_t got = snd_pcm_readi(pcm_, buffer.data(), wanted);
        if (got == -EAGAIN) continue;
        if (got < 0) {
            // An overrun loses a moment of singing; a device gone away ends
            // the listening with what it heard.
            if (snd_pcm_recover(pcm_, int(got), 1) < 0) break;
            if (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED && snd_pcm_start(pcm_) < 0) break;
            continue;
        }
        const auto kept = static_cast<std::size_t>(got);
        mix_to_mono(buffer, kept, mono);
        follower.add(mono.data(), kept);
        followed_frames_ += got;
    }
    track_ = follower.take_track();
}
