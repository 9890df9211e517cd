#include "platform/alsa_capture.h"

#include "platform/wave_file.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// How long a reader waits for the device before it looks at its stop flag again.
constexpr int kDeviceWaitMs = 50;
constexpr unsigned kDeviceLatencyUs = 500'000;

}  // namespace

const std::chrono::microseconds kCaptureReadDuration(1'000'000LL * kCaptureReadFrames / kWaveSampleRate);

_snd_pcm* open_capture_device(const std::string& device) {
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0) return nullptr;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, kWaveChannels,
                           kWaveSampleRate, 1, kDeviceLatencyUs) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return pcm;
}

qint64 capture_frames_since(std::chrono::nanoseconds now, std::chrono::nanoseconds started) {
    const qint64 elapsed_ns = std::max<qint64>(0, (now - started).count());
    return elapsed_ns * kWaveSampleRate / 1'000'000'000;
}

long read_capture(_snd_pcm* pcm, void* buffer, unsigned long wanted) {
    if (snd_pcm_wait(pcm, kDeviceWaitMs) == 0) return 0;
    std::memset(buffer, 0, wanted * kWaveBlockAlign);
    const snd_pcm_sframes_t got = snd_pcm_readi(pcm, buffer, wanted);
    if (got == -EAGAIN) return 0;
    if (got >= 0) return got;
    if (snd_pcm_recover(pcm, int(got), 1) < 0) return -1;
    if (snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED && snd_pcm_start(pcm) < 0) return -1;
    return 0;
}
