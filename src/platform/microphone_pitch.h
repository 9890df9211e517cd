#pragma once

// The pitch of the singer's voice, followed in the microphone while a song
// plays, for the singing score.

#include "platform/melody.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

struct _snd_pcm;

// Listens from start() to stop(); the window thread calls both.
class MicrophonePitch {
public:
    virtual ~MicrophonePitch() = default;
    // False when there is no sound input (the song then has no score).
    virtual bool start() = 0;
    // Stops listening: the singer's pitch every 10 ms since start().
    virtual PitchTrack stop() = 0;
};

// Captures an ALSA device (normally "default") on a thread of its own, in
// the voice recording's format, which a shared input (PulseAudio, dsnoop)
// then delivers to both at once, and follows the pitch as it arrives.
//
// It keeps no more sound than the time since start() on the time source
// allows, so an input that delivers faster than real time (ALSA's "null",
// a file) is read at the pace a room would sing at.
class AlsaMicrophonePitch final : public MicrophonePitch {
public:
    using TimeSource = std::function<std::chrono::nanoseconds()>;

    explicit AlsaMicrophonePitch(std::string device = "default", TimeSource now = {});
    ~AlsaMicrophonePitch() override;
    AlsaMicrophonePitch(const AlsaMicrophonePitch&) = delete;
    AlsaMicrophonePitch& operator=(const AlsaMicrophonePitch&) = delete;

    bool start() override;
    PitchTrack stop() override;

    // Sound frames followed since start(); safe while listening.
    qint64 followed_frames() const { return followed_frames_.load(); }

private:
    void listen(std::chrono::nanoseconds started);
    void close_device();

    const std::string device_;
    const TimeSource now_;
    _snd_pcm* pcm_ = nullptr;
    std::thread worker_;
    std::atomic<bool> stop_requested_ = false;
    std::atomic<qint64> followed_frames_ = 0;
    PitchTrack track_;  // the worker's until it has been joined
};
