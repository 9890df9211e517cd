#include "platform/alsa_wave_capture.h"

#include "platform/wave_file.h"
#include "support/alsa_test_device.h"
#include "support/test_support.h"
#include "support/wave_check.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr qint64 kNanosPerSecond = 1'000'000'000;

// A time source the test moves by hand, in whole frames of the capture format.
class ManualTime {
public:
    AlsaWaveCapture::TimeSource source() {
        return [this] { return std::chrono::nanoseconds(ns_.load()); };
    }
    // Just far enough for the take to hold `frames` frames more.
    void advance_by_frames(qint64 frames) { ns_ += (frames * kNanosPerSecond + 44099) / 44100; }

private:
    std::atomic<qint64> ns_ = 0;
};

// Stereo frames that differ from each other, so a lost, repeated or
// reordered frame shows.
QByteArray distinct_frames(int count) {
    QByteArray bytes(qsizetype(count) * 4, '\0');
    for (int i = 0; i < count; ++i) {
        qToLittleEndian(qint16(i * 7 - 12000), bytes.data() + 4 * i);
        qToLittleEndian(qint16(25000 - i * 3), bytes.data() + 4 * i + 2);
    }
    return bytes;
}

bool wait_for_frames(const AlsaWaveCapture& capture, qint64 frames) {
    QElapsedTimer real;
    real.start();
    while (capture.captured_frames() < frames && real.elapsed() < 5000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return capture.captured_frames() == frames;
}

// Sends the steps that start a take, in the order the jukebox sends them.
void start_take(AlsaWaveCapture& capture) {
    for (const char* command : {kCaptureCloseAll, kCaptureOpen, kCaptureStop, kCaptureSeekToStart,
                                kCaptureSetFormat, kCaptureRecord}) {
        ASSERT_EQ(capture.send(command), CaptureStatus::ok) << command;
    }
}

QString save_command(const QString& path) {
    return kCaptureSavePrefix + path;
}

constexpr int kSignalFrames = 5000;

// The capture on the test's own ALSA devices: the signal device reads
// back the distinct frames, "null" gives silence.
class AlsaWaveCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        signal_ = distinct_frames(kSignalFrames);
        write_file(folder_.file("signal.raw"), signal_);
    }

    static void write_file(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    TempFolder folder_;
    AlsaTestDevice devices_{folder_.path(), folder_.file("signal.raw")};
    QByteArray signal_;
    ManualTime time_;
};

TEST_F(AlsaWaveCaptureTest, SavedTakeHoldsExactlyTheInputsSamples) {
    AlsaWaveCapture capture(AlsaTestDevice::kSignalDevice, time_.source());
    start_take(capture);
    time_.advance_by_frames(kSignalFrames);
    ASSERT_TRUE(wait_for_frames(capture, kSignalFrames));

    ASSERT_EQ(capture.send(kCaptureStop), CaptureStatus::ok);
    ASSERT_EQ(capture.send(save_command(folder_.file("TEMPWave.wav"))), CaptureStatus::ok);
    QByteArray saved;
    ASSERT_TRUE(read_recorded_wave(folder_.file("TEMPWave.wav"), saved));
    EXPECT_EQ(saved, signal_);
}

// What a crash would leave while the take runs: the spool holds every frame
// kept so far; a repaired copy of it reads as the take.
TEST_F(AlsaWaveCaptureTest, ARunningTakeIsOnDiskAsItComesAndGoesWhenThrownAway) {
    AlsaWaveCapture capture(AlsaTestDevice::kSignalDevice, time_.source());
    const QString spool = folder_.file("TakeInProgress.wav");
    capture.spool_takes_to(spool);
    start_take(capture);
    time_.advance_by_frames(kSignalFrames);
    ASSERT_TRUE(wait_for_frames(capture, kSignalFrames));

    ASSERT_TRUE(QFile::copy(spool, folder_.file("left.wav")));
    EXPECT_EQ(repair_wave_file(folder_.file("left.wav")), kSignalFrames);
    QByteArray left;
    ASSERT_TRUE(read_recorded_wave(folder_.file("left.wav"), left));
    EXPECT_EQ(left, signal_);

    ASSERT_EQ(capture.send(kCaptureStop), CaptureStatus::ok);
    ASSERT_EQ(capture.send(save_command(folder_.file("TEMPWave.wav"))), CaptureStatus::ok);
    EXPECT_TRUE(QFile::exists(spool));
    ASSERT_EQ(capture.send(kCaptureCloseAll), CaptureStatus::ok);
    EXPECT_FALSE(QFile::exists(spool));
}

TEST_F(AlsaWaveCaptureTest, AnUnpacedInputKeepsNoMoreThanTheTakesDuration) {
    AlsaWaveCapture capture("null", time_.source());
    start_take(capture);
    constexpr qint64 kQuarterSecond = 44100 / 4;
    time_.advance_by_frames(kQuarterSecond);
    ASSERT_TRUE(wait_for_frames(capture, kQuarterSecond));
    // "null" would hand out gigabytes in this time; the take stays put.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(capture.captured_frames(), kQuarterSecond);

    ASSERT_EQ(capture.send(save_command(folder_.file("take.wav"))), CaptureStatus::ok);
    QByteArray saved;
    ASSERT_TRUE(read_recorded_wave(folder_.file("take.wav"), saved));
    EXPECT_EQ(saved, QByteArray(kQuarterSecond * 4, '\0'));  // silence, not leftover memory
}

TEST_F(AlsaWaveCaptureTest, OnTheSteadyClockATakeIsAsLongAsItLasted) {
    AlsaWaveCapture capture("null");
    QElapsedTimer real;
    real.start();
    start_take(capture);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(capture.send(kCaptureStop), CaptureStatus::ok);
    const qint64 most_frames = real.nsecsElapsed() * 44100 / kNanosPerSecond;

    EXPECT_GT(capture.captured_frames(), 44100 / 20);
    EXPECT_LE(capture.captured_frames(), most_frames);
}

TEST_F(AlsaWaveCaptureTest, RewindingDiscardsAndRecordingAgainStartsAfresh) {
    AlsaWaveCapture capture("null", time_.source());
    start_take(capture);
    time_.advance_by_frames(3000);
    ASSERT_TRUE(wait_for_frames(capture, 3000));

    ASSERT_EQ(capture.send(kCaptureSeekToStart), CaptureStatus::ok);
    EXPECT_EQ(capture.captured_frames(), 0);
    EXPECT_EQ(capture.send(save_command(folder_.file("rewound.wav"))), CaptureStatus::nothing_recorded);
    EXPECT_FALSE(QFile::exists(folder_.file("rewound.wav")));

    // The new take's duration counts from its own "record".
    ASSERT_EQ(capture.send(kCaptureRecord), CaptureStatus::ok);
    time_.advance_by_frames(1000);
    ASSERT_TRUE(wait_for_frames(capture, 1000));
}

TEST_F(AlsaWaveCaptureTest, AMissingInputGivesNoFileAndNoCrash) {
    AlsaWaveCapture capture("karaoke_test_no_such_input", time_.source());
    EXPECT_EQ(capture.send(kCaptureCloseAll), CaptureStatus::ok);
    EXPECT_EQ(capture.send(kCaptureOpen), CaptureStatus::no_device);
    EXPECT_EQ(capture.send(kCaptureSeekToStart), CaptureStatus::not_open);
    EXPECT_EQ(capture.send(kCaptureSetFormat), CaptureStatus::not_open);
    EXPECT_EQ(capture.send(kCaptureRecord), CaptureStatus::not_open);
    EXPECT_FALSE(capture.is_recording());
    EXPECT_EQ(capture.send(kCaptureStop), CaptureStatus::not_open);
    EXPECT_EQ(capture.send(save_command(folder_.file("TEMPWave.wav"))), CaptureStatus::not_open);
    EXPECT_EQ(capture.send(kCaptureClose), CaptureStatus::not_open);
    EXPECT_FALSE(QFile::exists(folder_.file("TEMPWave.wav")));
}

TEST_F(AlsaWaveCaptureTest, SaveWithoutRecordWritesNothing) {
    AlsaWaveCapture capture("null", time_.source());
    ASSERT_EQ(capture.send(kCaptureOpen), CaptureStatus::ok);
    EXPECT_EQ(capture.send(kCaptureOpen), CaptureStatus::already_open);
    EXPECT_EQ(capture.send(save_command(folder_.file("TEMPWave.wav"))), CaptureStatus::nothing_recorded);
    EXPECT_FALSE(QFile::exists(folder_.file("TEMPWave.wav")));
}

TEST_F(AlsaWaveCaptureTest, AnUnwritableFolderLeavesNoFileAndKeepsTheTake) {
    AlsaWaveCapture capture(AlsaTestDevice::kSignalDevice, time_.source());
    start_take(capture);
    time_.advance_by_frames(kSignalFrames);
    ASSERT_TRUE(wait_for_frames(capture, kSignalFrames));

    EXPECT_EQ(capture.send(save_command(folder_.file("gone/TEMPWave.wav"))), CaptureStatus::write_failed);
    EXPECT_FALSE(QFile::exists(folder_.file("gone/TEMPWave.wav")));
    ASSERT_EQ(capture.send(save_command(folder_.file("TEMPWave.wav"))), CaptureStatus::ok);
    QByteArray saved;
    ASSERT_TRUE(read_recorded_wave(folder_.file("TEMPWave.wav"), saved));
    EXPECT_EQ(saved, signal_);
}

TEST_F(AlsaWaveCaptureTest, UnknownCommandsAreRefusedWithoutDisturbingTheTake) {
    AlsaWaveCapture capture(AlsaTestDevice::kSignalDevice, time_.source());
    start_take(capture);
    for (const char* command : {"", "record mic", "delete capture", "set capture samplespersec 8000",
                                "open new type waveaudio alias mic", "play capture"}) {
        EXPECT_EQ(capture.send(command), CaptureStatus::refused) << command;
    }
    EXPECT_TRUE(capture.is_recording());
    time_.advance_by_frames(kSignalFrames);
    ASSERT_TRUE(wait_for_frames(capture, kSignalFrames));
    ASSERT_EQ(capture.send(save_command(folder_.file("TEMPWave.wav"))), CaptureStatus::ok);
    QByteArray saved;
    ASSERT_TRUE(read_recorded_wave(folder_.file("TEMPWave.wav"), saved));
    EXPECT_EQ(saved, signal_);
}

TEST_F(AlsaWaveCaptureTest, ClosingOrDestroyingStopsARunningTake) {
    for (const char* close : {kCaptureClose, kCaptureCloseAll}) {
        AlsaWaveCapture capture("null");
        start_take(capture);
        ASSERT_TRUE(capture.is_recording());
        ASSERT_EQ(capture.send(close), CaptureStatus::ok);
        EXPECT_FALSE(capture.is_recording()) << close;
        EXPECT_EQ(capture.captured_frames(), 0) << close;
        EXPECT_EQ(capture.send(save_command(folder_.file("closed.wav"))), CaptureStatus::not_open);
        // The device can be opened again after closing.
        EXPECT_EQ(capture.send(kCaptureOpen), CaptureStatus::ok) << close;
    }
    {
        AlsaWaveCapture capture("null");
        start_take(capture);
    }  // joins its thread; a thread left running would end the test program
    EXPECT_FALSE(QFile::exists(folder_.file("closed.wav")));
}

}  // namespace
