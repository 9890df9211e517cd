#include "support/wave_check.h"

#include <QFile>
#include <QtEndian>

namespace {

quint32 u32_at(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 u16_at(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

}  // namespace

::testing::AssertionResult read_recorded_wave(const QString& path, QByteArray& frames) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ::testing::AssertionFailure() << "cannot open " << path.toStdString();
    const QByteArray bytes = file.readAll();
    constexpr int kHeaderBytes = 44;
    if (bytes.size() < kHeaderBytes)
        return ::testing::AssertionFailure() << "only " << bytes.size() << " bytes";
    const auto fail = [](const char* what, qint64 seen) {
        return ::testing::AssertionFailure() << what << " is " << seen;
    };
    if (bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE" || bytes.mid(12, 4) != "fmt " ||
        bytes.mid(36, 4) != "data") {
        return ::testing::AssertionFailure() << "not a plain RIFF/WAVE layout";
    }
    if (u32_at(bytes, 4) != bytes.size() - 8) return fail("RIFF size", u32_at(bytes, 4));
    if (u32_at(bytes, 16) != 16) return fail("fmt size", u32_at(bytes, 16));
    if (u16_at(bytes, 20) != 1) return fail("format tag", u16_at(bytes, 20));
    if (u16_at(bytes, 22) != 2) return fail("channels", u16_at(bytes, 22));
    if (u32_at(bytes, 24) != 44100) return fail("sample rate", u32_at(bytes, 24));
    if (u32_at(bytes, 28) != 176400) return fail("bytes per second", u32_at(bytes, 28));
    if (u16_at(bytes, 32) != 4) return fail("block alignment", u16_at(bytes, 32));
    if (u16_at(bytes, 34) != 16) return fail("bits per sample", u16_at(bytes, 34));
    if (u32_at(bytes, 40) != bytes.size() - kHeaderBytes) return fail("data size", u32_at(bytes, 40));
    frames = bytes.mid(kHeaderBytes);
    return ::testing::AssertionSuccess();
}
