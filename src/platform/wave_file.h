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

// The header of a RIFF/WAVE file of the recorded format: its sizes count
// `data_bytes` of samples after it.
inline constexpr int kWaveHeaderBytes = 44;
QByteArray wave_header(quint32 data_bytes);

// Writes a RIFF/WAVE file of the recorded format holding the given
// interleaved frames. Either the whole file is written or, on failure (no
// folder, full disk), nothing is left under the path; an existing file there
// is replaced only on success.
bool write_wave_file(const QString& path, const QByteArray& frames);

// A wave file of the recorded format whose writing was cut off (a crash, a
// power cut): the sizes of its header are set to the whole frames that
// reached the disk, a partial frame at the end is cut off and the file is
// synced. Returns those frames, or -1 when the file is missing or its header
// is not one of the recorded format.
qint64 repair_wave_file(const QString& path);
