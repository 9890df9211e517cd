// The sides and the key shift on the real engine: its sound goes into a
// WAVE file, whose tones are measured.
#include "platform/mpv_media_player.h"
#include "support/media_clips.h"
#include "support/sound_measure.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// Only an upper bound: the sound is written as fast as it decodes.
constexpr int kTimeoutMs = 10000;

class SoundFiltersTest : public ::testing::Test {
protected:
    // A fresh engine writing into its own file.
    MpvMediaPlayer& engine() {
        if (!engine_) {
            ++files_;
            engine_ = std::make_unique<MpvMediaPlayer>(
                &window, MpvPlayerOptions{.null_video = true, .untimed = true, .audio_file = output()});
            ended_ = std::make_unique<QSignalSpy>(engine_.get(), &MediaPlayer::end_of_stream);
            engine_->set_volume(100);  // the file's own level
        }
        return *engine_;
    }
    QString output() const { return folder.filePath(QString("sound-%1.wav").arg(files_)); }

    // Plays a clip to its end and reads what the engine wrote; the file is
    // complete once the engine is gone.
    PcmSound play_to_end(const QString& clip) {
        engine().set_url(file_url(clip));
        engine().play();
        return finish();
    }
    PcmSound finish() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended_->count() > 0; }, kTimeoutMs));
        ended_.reset();
        engine_.reset();
        const std::optional<PcmSound> sound = read_pcm_wave(output());
        EXPECT_TRUE(sound.has_value());
        return sound.value_or(PcmSound{});
    }

    // Both channels' tones over the last `seconds` of the sound.
    std::pair<double, double> closing_tones(const PcmSound& sound, double seconds) const {
        const double end = sound.seconds() - 0.05;
        return {tone_frequency(sound, 0, end - seconds, end), tone_frequency(sound, 1, end - seconds, end)};
    }

    const SoundClips& clips = sound_clips();
    QTemporaryDir folder;
    QWidget window;

private:
    std::unique_ptr<MpvMediaPlayer> engine_;
    std::unique_ptr<QSignalSpy> ended_;
    int files_ = 0;
};

TEST_F(SoundFiltersTest, TwoSemitonesUpTurn440HzInto494AtTheSameLength) {
    const double expected = 440 * std::pow(2.0, 2 / 12.0);  // 493.9
    engine().set_key_shift(2);
    const PcmSound sound = play_to_end(clips.tone_440);
    ASSERT_EQ(sound.channels, 2);
    for (int channel : {0, 1}) {
        EXPECT_NEAR(tone_frequency(sound, channel, 0.2, 1.8), expected, expected * 0.01) << channel;
        EXPECT_NEAR(sounding_seconds(sound, channel), 2.0, 2.0 * 0.01) << channel;
    }

    engine().set_key_shift(-3);
    const PcmSound lower = play_to_end(clips.tone_440);
    const double lower_expected = 440 * std::pow(2.0, -3 / 12.0);  // 370.0
    EXPECT_NEAR(tone_frequency(lower, 0, 0.2, 1.8), lower_expected, lower_expected * 0.01);
    EXPECT_NEAR(sounding_seconds(lower, 0), 2.0, 2.0 * 0.01);
}

TEST_F(SoundFiltersTest, EachSideOfOneStereoStreamPlaysOnBothSpeakers) {
    struct Case {
        StereoSide side;
        double left;
        double right;
    };
    for (const Case& heard : {Case{StereoSide::right, 880, 880}, Case{StereoSide::left, 440, 440},
                              Case{StereoSide::both, 440, 880}}) {
        SCOPED_TRACE(static_cast<int>(heard.side));
        engine().set_stereo_side(heard.side);
        const PcmSound sound = play_to_end(clips.sides_440_880);
        ASSERT_EQ(sound.channels, 2);
        EXPECT_NEAR(tone_frequency(sound, 0, 0.5, 3.5), heard.left, heard.left * 0.01);
        EXPECT_NEAR(tone_frequency(sound, 1, 0.5, 3.5), heard.right, heard.right * 0.01);
    }
}

// A side or a key chosen in the middle of a song: the song goes on from
// where it was, without a silence and without dropping or repeating sound.
TEST_F(SoundFiltersTest, SwitchingMidSongKeepsThePositionAndTheSound) {
    // The same song paused a second in, once left alone and once switched
    // to its right side a semitone up there.
    const auto play_pausing_at_one_second = [&](bool switch_there) {
        QSignalSpy started(&engine(), &MediaPlayer::playback_started);
        engine().set_url(file_url(clips.sides_440_880));
        engine().pause();
        EXPECT_TRUE(QTest::qWaitFor([&] { return engine().audio_stream_count() == 1; }, kTimeoutMs));
        EXPECT_EQ(engine().audio_channel_count(), 2);
        engine().seek(1.0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return engine().position_seconds() >= 1.0; }, kTimeoutMs));
        const double before = engine().position_seconds();
        if (switch_there) {
            engine().set_stereo_side(StereoSide::right);
            engine().set_key_shift(1);
        }
        EXPECT_EQ(engine().position_seconds(), before);
        EXPECT_EQ(engine().play_state(), play_state::paused);
        engine().play();
        const int starts = started.count();
        EXPECT_EQ(starts, 1);  // not started again
        return finish();
    };
    const PcmSound left_alone = play_pausing_at_one_second(false);
    const PcmSound switched = play_pausing_at_one_second(true);

    EXPECT_NEAR(switched.seconds(), left_alone.seconds(), 0.01);
    EXPECT_LT(switched.seconds(), 3.1);  // from where it was to the end, once
    EXPECT_LT(longest_silence_inside(switched), 0.005);
    const double expected = 880 * std::pow(2.0, 1 / 12.0);  // the right side, a semitone up
    const auto [left, right] = closing_tones(switched, 0.5);
    EXPECT_NEAR(left, expected, expected * 0.01);
    EXPECT_NEAR(right, expected, expected * 0.01);
}

}  // namespace
