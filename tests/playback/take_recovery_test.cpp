#include "platform/wave_file.h"
#include "playback/voice_recording.h"
#include "support/test_support.h"
#include "support/wave_check.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// What a crash leaves of a take: the spool (a header without sizes and the
// samples that reached the disk) and the file holding its final name.
class TakeRecoveryTest : public ::testing::Test {
protected:
    TakeRecoveryTest() {
        state->settings.RecordPath = folder.file("Record");
        QDir().mkpath(state->settings.RecordPath);
    }

    void leave_spool(const QByteArray& samples) const {
        write(take_spool_path(*state), wave_header(0) + samples);
    }
    void leave_name() const { write(take_name_path(*state), take_file.toUtf8()); }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void expect_nothing_left_behind() const {
        EXPECT_FALSE(QFile::exists(take_spool_path(*state)));
        EXPECT_FALSE(QFile::exists(take_name_path(*state)));
    }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    const QString take_file = folder.file("Record/2612090728夜燈--張明遠.wav");
};

TEST_F(TakeRecoveryTest, AnInterruptedTakeGoesUnderItsNameWithTheWholeFramesOnDisk) {
    const QByteArray frames(10 * kWaveBlockAlign, '\x11');
    leave_spool(frames + "\x22\x22");  // half a frame written when the end came
    leave_name();
    recover_interrupted_take(*state);
    QByteArray kept;
    ASSERT_TRUE(read_recorded_wave(take_file, kept));
    EXPECT_EQ(kept, frames);
    expect_nothing_left_behind();
}

TEST_F(TakeRecoveryTest, ATakeWithoutSamplesIsRemoved) {
    leave_spool("\x01\x02");
    leave_name();
    recover_interrupted_take(*state);
    EXPECT_FALSE(QFile::exists(take_file));
    expect_nothing_left_behind();
}

TEST_F(TakeRecoveryTest, ATakeSavedBeforeTheEndCameIsKeptAsSaved) {
    write(take_file, "saved");
    leave_spool(QByteArray(10 * kWaveBlockAlign, '\x11'));
    leave_name();
    recover_interrupted_take(*state);
    QFile saved(take_file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "saved");
    expect_nothing_left_behind();
}

// A take dropped or thrown away had its name removed first.
TEST_F(TakeRecoveryTest, ATakeWithoutANameIsRemoved) {
    leave_spool(QByteArray(10 * kWaveBlockAlign, '\x11'));
    recover_interrupted_take(*state);
    EXPECT_TRUE(QDir(state->settings.RecordPath).isEmpty());
    expect_nothing_left_behind();
}

}  // namespace
