#include "platform/wave_file.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <unistd.h>

namespace {

void append_u16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void append_u32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

}  // namespace

QByteArray wave_header(quint32 data_bytes) {
    constexpr quint32 kFmtChunkBytes = 16;
    constexpr quint16 kPcmFormatTag = 1;
    QByteArray header;
    header.append("RIFF");
    append_u32(header, 4 + (8 + kFmtChunkBytes) + 8 + data_bytes);
    header.append("WAVE");
    header.append("fmt ");
    append_u32(header, kFmtChunkBytes);
    append_u16(header, kPcmFormatTag);
    append_u16(header, kWaveChannels);
    append_u32(header, kWaveSampleRate);
    append_u32(header, kWaveBytesPerSecond);
    append_u16(header, kWaveBlockAlign);
    append_u16(header, kWaveBitsPerSample);
    header.append("data");
    append_u32(header, data_bytes);
    return header;
}

bool write_wave_file(const QString& path, const QByteArray& frames) {
    if (frames.size() > kWaveMaxDataBytes || frames.size() % kWaveBlockAlign != 0) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(wave_header(quint32(frames.size())));
    file.write(frames);
    return file.commit();
}

qint64 repair_wave_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return -1;
    // Everything but the two sizes (at bytes 4 and 40) is the same in every
    // header of the recorded format.
    const QByteArray expected = wave_header(0);
    const QByteArray header = file.read(kWaveHeaderBytes);
    if (header.size() != kWaveHeaderBytes || header.first(4) != expected.first(4) ||
        header.sliced(8, 32) != expected.sliced(8, 32))
        return -1;
    const qint64 data_bytes = std::min<qint64>(file.size() - kWaveHeaderBytes, kWaveMaxDataBytes) /
                              kWaveBlockAlign * kWaveBlockAlign;
    const bool repaired = file.resize(kWaveHeaderBytes + data_bytes) && file.seek(0) &&
                          file.write(wave_header(quint32(data_bytes))) == kWaveHeaderBytes && file.flush() &&
                          ::fsync(file.handle()) == 0;
    return repaired ? data_bytes / kWaveBlockAlign : -1;
}
