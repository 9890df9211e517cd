#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The one format the jukebox records: PCM, 2 channels, 44100 frames a second,
// 16-bit little-endian samples.
inline constexpr int kWaveChannels = 2;
inline constexpr int kWaveSampleRate = 44100;
inline constexpr int kWaveBitsPerSample = 16;
inline constexpr int kWaveBlockAlign = kWaveChannels * kWaveBitsPerSample / 8;  // bytes per frame: 4
inline constexpr int kWaveBytesPerSecond = kWaveSampleRate * kWaveBlockAlign;   // 176400

// The most sample bytes a RIFF file can describe (its sizes are 32-bit),
// whole frames only.
inline constexpr std::int64_t kWaveMaxDataBytes =
    (std::int64_t{0xFFFFFFFF} - 36) / kWaveBlockAlign * kWaveBlockAlign;

// Writes a RIFF/WAVE file of the recorded format holding the given
// interleaved frames. Either the whole file is written or, on failure (no
// folder, full disk), nothing is left under the path; an existing file there
// is replaced only on success.
bool write_wave_file(const QString& path, const QByteArray& frames);
