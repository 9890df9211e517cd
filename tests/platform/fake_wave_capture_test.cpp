#include "support/fake_wave_capture.h"

#include "support/test_support.h"
#include "support/wave_check.h"

#include <QFile>
#include <gtest/gtest.h>

// The fake stands in for the sound input in tests of the recording steps;
// these cases pin down the rules those tests rely on.
TEST(FakeWaveCapture, RecordsCommandsAndSavesAValidWaveOnlyAfterARecord) {
    TempFolder folder;
    FakeWaveCapture capture;
    const QString save = kCaptureSavePrefix + folder.file("TEMPWave.wav");
    capture.send(kCaptureOpen);
    EXPECT_EQ(capture.send(save), CaptureStatus::nothing_recorded);
    capture.send(kCaptureRecord);
    EXPECT_TRUE(capture.recording);
    EXPECT_EQ(capture.send(save), CaptureStatus::ok);
    EXPECT_FALSE(capture.recording);
    EXPECT_EQ(capture.commands, QStringList({kCaptureOpen, save, kCaptureRecord, save}));

    QByteArray frames;
    ASSERT_TRUE(read_recorded_wave(folder.file("TEMPWave.wav"), frames));
    EXPECT_EQ(frames.size(), 441 * 4);
}

TEST(FakeWaveCapture, AFailingOpenLeavesNoFile) {
    TempFolder folder;
    FakeWaveCapture capture;
    capture.fail_open = true;
    EXPECT_EQ(capture.send(kCaptureOpen), CaptureStatus::no_device);
    EXPECT_EQ(capture.send(kCaptureRecord), CaptureStatus::not_open);
    EXPECT_EQ(capture.send(kCaptureSavePrefix + folder.file("TEMPWave.wav")), CaptureStatus::not_open);
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
    EXPECT_EQ(capture.send("stop  capture"), CaptureStatus::not_open);
    EXPECT_EQ(capture.send("stop the capture"), CaptureStatus::refused);
}
