// The sides and the key shift on the real engine: its sound goes into a
// WAVE file, whose tones are measured.
#include "platform/loudness_meter.h"
#include "platform/mpv_media_player.h"
#include "platform/wave_file.h"
#include "support/loudness_clips.h"
#include "support/media_clips.h"
#include "support/sound_measure.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

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
    // Until the source playing now has ended.
    void wait_for_end() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended_->count() > 0; }, kTimeoutMs));
        ended_->clear();
    }
    PcmSound finish() {
        if (engine_->play_state() == play_state::playing) wait_for_end();
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
    // Stepped up during a first start, then sung again from the start. The
    // first start is silent: the sound is written as fast as it decodes, so
    // some of it may reach the file before the pause takes hold, and the
    // tone sung again is measured from the end of the file.
    engine().set_volume(0);
    engine().set_key_shift(1);
    engine().set_url(file_url(clips.tone_440));
    engine().pause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine().audio_stream_count() == 1; }, kTimeoutMs));
    engine().set_key_shift(2);
    engine().set_volume(100);
    const PcmSound sound = play_to_end(clips.tone_440);
    ASSERT_EQ(sound.channels, 2);
    const double end = sound.seconds() - 0.05;
    for (int channel : {0, 1}) {
        EXPECT_NEAR(tone_frequency(sound, channel, end - 1.6, end), expected, expected * 0.01) << channel;
        EXPECT_NEAR(sounding_seconds(sound, channel), 2.0, 2.0 * 0.01) << channel;
    }

    engine().set_key_shift(-3);
    const PcmSound lower = play_to_end(clips.tone_440);
    const double lower_expected = 440 * std::pow(2.0, -3 / 12.0);  // 370.0
    EXPECT_NEAR(tone_frequency(lower, 0, 0.2, 1.8), lower_expected, lower_expected * 0.01);
    EXPECT_NEAR(sounding_seconds(lower, 0), 2.0, 2.0 * 0.01);
}

// Stepped during the song, then sung again: the second time starts in the
// key the guest left it in.
TEST_F(SoundFiltersTest, SingingAgainKeepsAKeyChosenDuringTheSong) {
    engine().set_key_shift(1);
    engine().set_url(file_url(clips.tone_440));
    engine().play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine().position_seconds() >= 0.5; }, kTimeoutMs));
    engine().set_key_shift(2);
    wait_for_end();
    const PcmSound sound = play_to_end(clips.tone_440);
    const double expected = 440 * std::pow(2.0, 2 / 12.0);
    const auto [left, right] = closing_tones(sound, 1.5);
    EXPECT_NEAR(left, expected, expected * 0.01);
    EXPECT_NEAR(right, expected, expected * 0.01);
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

// A room that plays the sides apart: the side is heard from the first sample.
TEST_F(SoundFiltersTest, TheStartingSideOfOneStereoStreamIsHeardFromTheStart) {
    engine().set_starting_stereo_side(StereoSide::right);
    const PcmSound sound = play_to_end(clips.sides_440_880);
    ASSERT_EQ(sound.channels, 2);
    EXPECT_NEAR(tone_frequency(sound, 0, 0.0, 0.3), 880, 880 * 0.01);
    EXPECT_NEAR(tone_frequency(sound, 1, 0.0, 0.3), 880, 880 * 0.01);
}

// A side or a key chosen in the middle of a song: the song goes on from
// where it was, without a silence and without dropping or repeating sound.
TEST_F(SoundFiltersTest, SwitchingMidSongKeepsThePositionAndTheSound) {
    // The same song a semitone up, once left alone and once switched a
    // second in to its right side three semitones up. (The pitch filter
    // makes the engine slow enough to catch it in mid-song.)
    const auto play_switching_at_one_second = [&](bool switch_there) {
        QSignalSpy started(&engine(), &MediaPlayer::playback_started);
        engine().set_key_shift(1);
        engine().set_url(file_url(clips.sides_440_880));
        engine().play();
        EXPECT_TRUE(QTest::qWaitFor([&] { return engine().position_seconds() >= 1.0; }, kTimeoutMs));
        if (switch_there) {
            EXPECT_EQ(engine().audio_channel_count(), 2);
            engine().set_stereo_side(StereoSide::right);
            engine().set_key_shift(3);
        }
        EXPECT_GE(engine().position_seconds(), 1.0);
        wait_for_end();
        EXPECT_EQ(started.count(), 1);  // not started again
        return finish();
    };
    const PcmSound left_alone = play_switching_at_one_second(false);
    const PcmSound switched = play_switching_at_one_second(true);

    EXPECT_NEAR(switched.seconds(), left_alone.seconds(), 0.01);
    EXPECT_NEAR(switched.seconds(), 4.0, 0.05);
    EXPECT_LT(longest_silence_inside(switched), 0.005);
    const double semitone = std::pow(2.0, 1 / 12.0);
    const auto [left, right] = closing_tones(left_alone, 0.5);
    EXPECT_NEAR(left, 440 * semitone, 440 * semitone * 0.01);
    EXPECT_NEAR(right, 880 * semitone, 880 * semitone * 0.01);
    const double expected = 880 * std::pow(semitone, 3);  // the right side, three semitones up
    const auto [switched_left, switched_right] = closing_tones(switched, 0.5);
    EXPECT_NEAR(switched_left, expected, expected * 0.01);
    EXPECT_NEAR(switched_right, expected, expected * 0.01);
}

// The loudness of `seconds` of the sound from `from` on, measured as the
// jukebox measures its songs.
double loudness_of_part(const PcmSound& sound, double from, double seconds, const QString& scratch) {
    const auto first = static_cast<qsizetype>(from * sound.rate) * sound.channels;
    const auto count = static_cast<qsizetype>(seconds * sound.rate) * sound.channels;
    const QByteArray frames(reinterpret_cast<const char*>(sound.samples.data() + first),
                            count * static_cast<qsizetype>(sizeof(std::int16_t)));
    EXPECT_TRUE(write_wave_file(scratch, frames));
    return measure_loudness(scratch, kDefaultSoundfont).value_or(MeasuredLoudness{-100, 0}).integrated_lufs;
}

// A quiet VCD song and a loud one, played one after the other with the
// gains their measurements give, each come out at the common level from
// their first second on. (The engine's file holds the sound of the last
// song only: it is written anew for each song.)
TEST_F(SoundFiltersTest, MeasuredSongsPlayAtTheCommonLevelOneAfterTheOther) {
    constexpr int kSongSeconds = 4;
    const QString quiet = folder.filePath("quiet.mpg");
    const QString loud = folder.filePath("loud.mpg");
    make_loudness_clip(quiet, ClipFormat::VcdMpeg, -30, kSongSeconds);
    make_loudness_clip(loud, ClipFormat::VcdMpeg, -10, kSongSeconds);
    const auto play_with_its_gain = [&](const QString& song) {
        const std::optional<MeasuredLoudness> measured = measure_loudness(song, kDefaultSoundfont);
        EXPECT_TRUE(measured);
        engine().set_source_gain_db(loudness_gain_db(measured.value_or(MeasuredLoudness{})));
        engine().set_url(file_url(song));
        engine().play();
    };
    const QString scratch = folder.filePath("part.wav");
    std::vector<double> heard;
    for (const auto& [first, second] : {std::pair(quiet, loud), std::pair(loud, quiet)}) {
        play_with_its_gain(first);
        wait_for_end();
        play_with_its_gain(second);
        const PcmSound sound = finish();
        ASSERT_EQ(sound.rate, kWaveSampleRate);
        ASSERT_EQ(sound.channels, kWaveChannels);
        ASSERT_NEAR(sound.seconds(), kSongSeconds, 0.2);
        heard.push_back(loudness_of_part(sound, 0, kSongSeconds - 0.2, scratch));
        EXPECT_NEAR(heard.back(), kTargetLoudnessLufs, 1);
        EXPECT_NEAR(loudness_of_part(sound, 0, 1, scratch), kTargetLoudnessLufs, 1);
    }
    EXPECT_NEAR(heard[0], heard[1], 1);
}

}  // namespace
