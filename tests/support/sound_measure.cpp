#include "support/sound_measure.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kWhisper = 300;  // of 32767

quint32 u32_at(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 u16_at(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

int sample(const PcmSound& sound, int frame, int channel) {
    return sound.samples[static_cast<std::size_t>(frame) * sound.channels + channel];
}

bool loud(const PcmSound& sound, int frame, int channel) {
    return std::abs(sample(sound, frame, channel)) > kWhisper;
}

bool frame_loud(const PcmSound& sound, int frame) {
    for (int channel = 0; channel < sound.channels; ++channel)
        if (loud(sound, frame, channel)) return true;
    return false;
}

}  // namespace

std::optional<PcmSound> read_pcm_wave(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE") return std::nullopt;
    PcmSound sound;
    for (qsizetype chunk = 12; chunk + 8 <= bytes.size(); chunk += 8 + u32_at(bytes, chunk + 4)) {
        const QByteArray id = bytes.mid(chunk, 4);
        if (id == "fmt " && chunk + 24 <= bytes.size()) {
            sound.channels = u16_at(bytes, chunk + 10);
            sound.rate = static_cast<int>(u32_at(bytes, chunk + 12));
            if (u16_at(bytes, chunk + 22) != 16) return std::nullopt;
        } else if (id == "data") {
            const qsizetype count = (bytes.size() - chunk - 8) / 2;
            sound.samples.resize(static_cast<std::size_t>(count));
            for (qsizetype i = 0; i < count; ++i)
                sound.samples[static_cast<std::size_t>(i)] =
                    static_cast<std::int16_t>(u16_at(bytes, chunk + 8 + 2 * i));
            break;
        }
    }
    if (sound.channels == 0 || sound.rate == 0) return std::nullopt;
    return sound;
}

double tone_frequency(const PcmSound& sound, int channel, double from, double to) {
    const int first = std::max(1, static_cast<int>(from * sound.rate));
    const int last = std::min(sound.frames(), static_cast<int>(to * sound.rate));
    double first_rise = -1;
    double last_rise = -1;
    int rises = 0;
    for (int frame = first; frame < last; ++frame) {
        const int before = sample(sound, frame - 1, channel);
        const int now = sample(sound, frame, channel);
        if (before >= 0 || now < 0) continue;
        // Where the line between the two samples crosses zero.
        const double at = frame - 1 + double(-before) / (now - before);
        if (first_rise < 0) first_rise = at;
        last_rise = at;
        ++rises;
    }
    if (rises < 2) return 0;
    return (rises - 1) * sound.rate / (last_rise - first_rise);
}

double sounding_seconds(const PcmSound& sound, int channel) {
    int first = -1;
    int last = -1;
    for (int frame = 0; frame < sound.frames(); ++frame) {
        if (!loud(sound, frame, channel)) continue;
        if (first < 0) first = frame;
        last = frame;
    }
    return first < 0 ? 0 : double(last - first + 1) / sound.rate;
}

double longest_silence_inside(const PcmSound& sound) {
    int run = 0;
    int longest = 0;
    bool begun = false;
    for (int frame = 0; frame < sound.frames(); ++frame) {
        if (frame_loud(sound, frame)) {
            if (begun) longest = std::max(longest, run);
            begun = true;
            run = 0;
        } else {
            ++run;
        }
    }
    return double(longest) / sound.rate;
}
