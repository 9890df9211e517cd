#include "mixer/voice_recording.h"

#include "platform/wave_capture.h"
#include "support/fake_wave_capture.h"
#include "support/test_support.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class VoiceRecordingTest : public ::testing::Test {
protected:
    VoiceRecordingTest() {
        state->platform.capture = &capture;
        state->record_file = folder.file("2612081405夜曲--歌手甲.wav");
    }
    void start_take() {
        for (const char* command : {kCaptureCloseAll, kCaptureOpen, kCaptureStop, kCaptureSeekToStart,
                                    kCaptureSetFormat, kCaptureRecord})
            capture.send(command);
        state->is_recording = true;
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    FakeWaveCapture capture;
};

TEST_F(VoiceRecordingTest, AnEndedTakeIsSavedUnderItsNameAndTheTemporaryFileGoes) {
    start_take();
    end_recording_take(*state);
    EXPECT_FALSE(state->is_recording);
    EXPECT_TRUE(QFile::exists(state->record_file));
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
    EXPECT_EQ(
        capture.commands.mid(6),
        (QStringList{kCaptureStop, kCaptureSavePrefix + folder.file("TEMPWave.wav"), kCaptureCloseAll}));
}

TEST_F(VoiceRecordingTest, WithoutSoundInputNothingIsSavedAndNothingBreaks) {
    capture.fail_open = true;
    start_take();
    end_recording_take(*state);
    EXPECT_FALSE(QFile::exists(state->record_file));
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
}

TEST_F(VoiceRecordingTest, ADiscardedTakeLeavesNoFile) {
    start_take();
    end_recording_take(*state);  // the cut stops the song first, which ends the take
    discard_recording_take(*state);
    EXPECT_FALSE(state->is_recording);
    EXPECT_FALSE(QFile::exists(state->record_file));
    EXPECT_FALSE(QFile::exists(folder.file("TEMPWave.wav")));
    EXPECT_EQ(capture.commands.last(), kCaptureCloseAll);
}

}  // namespace
