#include "support/singing_clips.h"

#include "platform/microphone_pitch.h"
#include "platform/wave_file.h"
#include "support/alsa_test_device.h"
#include "support/media_clips.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr int kRate = 44100;
constexpr double kNoteSeconds = 0.5;
// Steps above D 293.7 Hz (MIDI 62), never within a semitone of C or G:
// those are the chord's.
constexpr std::array<int, 8> kTuneSteps = {0, 2, 3, 7, 12, 8, 3, 2};
constexpr float kTuneRoot = 62;
// C 65.4 Hz and G 98 Hz: the chord sounds as C, which the tune never sings.
constexpr std::array<double, 2> kChordHz = {65.41, 98.0};

double hz_of(double note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12);
}

// Each note swells and fades, so the pitch changes in silence.
double tune_sample(double t, int semitones) {
    const int note = static_cast<int>(t / kNoteSeconds);
    const double in_note = t / kNoteSeconds - note;
    const double midi = kTuneRoot + kTuneSteps[note % kTuneSteps.size()] + semitones;
    return 0.3 * std::sin(M_PI * in_note) * std::sin(2 * M_PI * hz_of(midi) * t);
}

double chord_sample(double t) {
    double sum = 0;
    for (const double hz : kChordHz) sum += 0.15 * std::sin(2 * M_PI * hz * t);
    return sum;
}

qint16 pcm(double sample) {
    return static_cast<qint16>(std::lround(std::clamp(sample, -1.0, 1.0) * 32767));
}

// Stereo frames for the whole song, each side made by its own function of time.
template <typename Left, typename Right>
QByteArray stereo_frames(int seconds, Left left, Right right) {
    QByteArray bytes(qsizetype(seconds) * kRate * 4, '\0');
    for (int i = 0; i < seconds * kRate; ++i) {
        const double t = static_cast<double>(i) / kRate;
        qToLittleEndian(pcm(left(t)), bytes.data() + 4 * i);
        qToLittleEndian(pcm(right(t)), bytes.data() + 4 * i + 2);
    }
    return bytes;
}

QString wave(const TempFolder& folder, const QString& name, const QByteArray& frames) {
    const QString path = folder.file(name);
    EXPECT_TRUE(write_wave_file(path, frames));
    return path;
}

}  // namespace

float tune_note_at(double second) {
    const int note = static_cast<int>(second / kNoteSeconds);
    const double in_note = second / kNoteSeconds - note;
    // The quiet ends of a note are not its pitch for sure.
    if (in_note < 0.2 || in_note > 0.8) return 0;
    return kTuneRoot + static_cast<float>(kTuneSteps[note % kTuneSteps.size()]);
}

PitchTrack tune_track(int seconds, int semitones, int delay_frames) {
    PitchTrack track(static_cast<std::size_t>(seconds * kPitchFramesPerSecond + delay_frames), 0.0F);
    for (int i = 0; i < seconds * kPitchFramesPerSecond; ++i) {
        const float note = tune_note_at(static_cast<double>(i) / kPitchFramesPerSecond);
        track[static_cast<std::size_t>(i + delay_frames)] =
            note > 0 ? note + static_cast<float>(semitones) : 0;
    }
    return track;
}

void make_scored_song(const QString& path, SongLayout layout, int seconds) {
    TempFolder folder;
    const auto guide = [](double t) { return tune_sample(t, 0) + chord_sample(t); };
    const QStringList video = {"-f", "lavfi", "-i", QString("color=c=navy:s=160x120:r=25:d=%1").arg(seconds)};
    switch (layout) {
        case SongLayout::VcdStereo: {
            const QString sound = wave(folder, "sides.wav", stereo_frames(seconds, chord_sample, guide));
            run_ffmpeg(video + QStringList{"-i", sound, "-map", "0:v", "-map", "1:a", "-c:v", "mpeg1video",
                                           "-c:a", "mp2", "-b:a", "224k", "-ar", "44100", "-f", "mpeg"},
                       path);
            break;
        }
        case SongLayout::TwoStreams: {
            const QString with_tune = wave(folder, "guide.wav", stereo_frames(seconds, guide, guide));
            const QString chord =
                wave(folder, "chord.wav", stereo_frames(seconds, chord_sample, chord_sample));
            run_ffmpeg(
                video + QStringList{"-i", with_tune, "-i", chord, "-map", "0:v", "-map", "1:a", "-map", "2:a",
                                    "-c:v", "mpeg4", "-c:a", "aac", "-b:a", "128k", "-f", "mp4"},
                path);
            break;
        }
        case SongLayout::SingleStream: {
            const QString sound = wave(folder, "guide.wav", stereo_frames(seconds, guide, guide));
            run_ffmpeg(video + QStringList{"-i", sound, "-map", "0:v", "-map", "1:a", "-c:v", "mpeg4", "-c:a",
                                           "aac", "-b:a", "128k", "-f", "mp4"},
                       path);
            break;
        }
    }
}

QByteArray singing_frames(const Singing& singing) {
    const double delay = singing.delay_ms / 1000.0;
    const auto heard = [&](double t) {
        const double sung = singing.tune && t >= delay ? tune_sample(t - delay, singing.semitones) : 0;
        return sung + (singing.chord ? chord_sample(t) : 0);
    };
    return stereo_frames(singing.seconds, heard, heard);
}

struct SingingMicrophone::Device {
    TempFolder folder;
    AlsaTestDevice alsa{folder.path(), folder.file("singing.raw")};
};

SingingMicrophone::SingingMicrophone(const Singing& singing) : SingingMicrophone(singing_frames(singing)) {}

SingingMicrophone::SingingMicrophone(const QByteArray& frames)
    : device_(std::make_unique<Device>()), frames_(frames.size() / 4) {
    QFile file(device_->folder.file("singing.raw"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(frames) > 0);
}

SingingMicrophone::~SingingMicrophone() = default;

std::function<std::unique_ptr<MicrophonePitch>()> SingingMicrophone::factory() {
    return [this]() -> std::unique_ptr<MicrophonePitch> {
        const auto started = std::make_shared<std::atomic<bool>>(false);
        // Rounded up, so that the clock allows the last frame too.
        const auto song = std::chrono::nanoseconds((frames_ * 1'000'000'000 + kRate - 1) / kRate);
        auto microphone = std::make_unique<AlsaMicrophonePitch>(
            AlsaTestDevice::kSignalDevice, [started, song]() -> std::chrono::nanoseconds {
                if (!started->exchange(true)) return std::chrono::nanoseconds(0);
                return song;
            });
        last_ = microphone.get();
        return microphone;
    };
}

bool SingingMicrophone::heard_whole_song() const {
    QElapsedTimer real;
    real.start();
    while (last_ && last_->followed_frames() < frames_ && real.elapsed() < 10000)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return last_ && last_->followed_frames() == frames_;
}

PitchTrack SingingMicrophone::listen() {
    const std::unique_ptr<MicrophonePitch> microphone = factory()();
    EXPECT_TRUE(microphone->start());
    EXPECT_TRUE(heard_whole_song());
    return microphone->stop();
}
