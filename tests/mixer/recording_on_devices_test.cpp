#include "mixer/mixer_menu.h"
#include "playback/voice_recording.h"
#include "platform/alsa_wave_capture.h"
#include "platform/mpv_media_player.h"
#include "playback/player_fixture.h"
#include "support/alsa_test_device.h"
#include "support/media_clips.h"
#include "support/wave_check.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr int kSignalFrames = 5000;
constexpr int kTimeoutMs = 20000;  // only an upper bound

// Stereo frames that all differ, so a lost or repeated frame shows.
QByteArray distinct_frames(int count) {
    QByteArray bytes(qsizetype(count) * 4, '\0');
    for (int i = 0; i < count; ++i) {
        qToLittleEndian(qint16(i * 5 - 9000), bytes.data() + 4 * i);
        qToLittleEndian(qint16(20000 - i * 3), bytes.data() + 4 * i + 2);
    }
    return bytes;
}

void write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A take on the real engine (libmpv without outputs, as fast as it decodes)
// and the real ALSA capture, reading a known signal from a file PCM of a
// test-local ALSA configuration. The capture's time source is moved by hand,
// so the take holds exactly the frames the test allows.
class RecordingOnTheDevicesTest : public ::testing::Test, public PlayerFixture {
protected:
    void SetUp() override {
        write_file(folder.file("signal.raw"), signal);
        capture =
            std::make_unique<AlsaWaveCapture>(AlsaTestDevice::kSignalDevice, [this] { return now.load(); });
        state->platform.capture = capture.get();
        state->platform.make_media_player =
            mpv_media_player_factory({.null_video = true, .null_audio = true, .untimed = true});
    }

    void TearDown() override {
        screen.reset();
        capture.reset();
    }

    // Lets the take hold the whole signal and waits until the capture thread
    // has it. The window thread processes no events meanwhile, so the song
    // cannot end first.
    bool capture_the_signal() {
        now = std::chrono::nanoseconds((qint64(kSignalFrames) * 1'000'000'000 + 44099) / 44100);
        QElapsedTimer real;
        real.start();
        while (capture->captured_frames() < kSignalFrames && real.elapsed() < kTimeoutMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return capture->captured_frames() == kSignalFrames;
    }

    AlsaTestDevice devices{folder.path(), folder.file("signal.raw")};
    const QByteArray signal = distinct_frames(kSignalFrames);
    std::atomic<std::chrono::nanoseconds> now{std::chrono::nanoseconds(0)};
    std::unique_ptr<AlsaWaveCapture> capture;
};

TEST_F(RecordingOnTheDevicesTest, ATakeOverARealClipIsSavedAsAWaveFileWhenTheSongEnds) {
    add_song(1, media_clips().three_streams);
    queue_song(1);
    open_player();
    ASSERT_EQ(screen->wmp1->play_state(), play_state::playing);

    mixer_menu mixer(*state, screen->session(), screen.get());
    mixer.cmdRecord_Click();
    ASSERT_TRUE(screen->session().is_recording());
    ASSERT_TRUE(capture->is_recording());
    ASSERT_TRUE(capture_the_signal());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen->session().is_recording(); }, kTimeoutMs));
    QByteArray saved;
    ASSERT_TRUE(read_recorded_wave(screen->session().record_file(), saved));
    EXPECT_EQ(saved, signal);
    EXPECT_FALSE(QFile::exists(temporary_wave_path(*state)));
    EXPECT_EQ(mixer.cmdRecord.text(), "9錄音");
}

}  // namespace
