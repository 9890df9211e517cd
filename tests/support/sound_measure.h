#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The sound of a 16-bit PCM WAVE file, as mpv's file output writes it.
struct PcmSound {
    int channels = 0;
    int rate = 0;
    std::vector<std::int16_t> samples;  // interleaved

    int frames() const { return channels > 0 ? static_cast<int>(samples.size()) / channels : 0; }
    double seconds() const { return rate > 0 ? double(frames()) / rate : 0; }
};

// Empty when the file is missing or holds no 16-bit PCM. The data runs to
// the end of the file, whatever its header says.
std::optional<PcmSound> read_pcm_wave(const QString& path);

// The frequency of a tone on one channel between two moments (seconds),
// from the times its waveform rises through zero.
double tone_frequency(const PcmSound& sound, int channel, double from, double to);

// Seconds from the first to the last sample of one channel louder than a
// whisper.
double sounding_seconds(const PcmSound& sound, int channel);

// The longest run of near-silent frames (both channels) between the first
// and the last loud one, in seconds.
double longest_silence_inside(const PcmSound& sound);
