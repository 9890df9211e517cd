#include "platform/loudness_meter.h"
#include "platform/midi_renderer.h"
#include "support/loudness_clips.h"
#include "support/media_clips.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// FFmpeg's summary shows tenths; the two measurements agree closer still.
constexpr double kToleranceLu = 0.5;

QString file_name(ClipFormat format) {
    switch (format) {
        case ClipFormat::Mp3:
            return "song.mp3";
        case ClipFormat::VcdMpeg:
            return "song.mpg";
        case ClipFormat::Mp4:
            return "song.mp4";
    }
    return {};
}

class LoudnessOfFormat : public ::testing::TestWithParam<std::tuple<ClipFormat, double>> {};

TEST_P(LoudnessOfFormat, AgreesWithFfmpegsEbuR128Filter) {
    const auto [format, lufs] = GetParam();
    TempFolder folder;
    const QString clip = folder.file(file_name(format));
    make_loudness_clip(clip, format, lufs);
    const FfmpegLoudness reference = ffmpeg_loudness(clip);
    ASSERT_NEAR(reference.integrated_lufs, lufs, 1.5) << "the clip was not made at the level asked for";

    const std::optional<MeasuredLoudness> measured = measure_loudness(clip, kDefaultSoundfont);
    ASSERT_TRUE(measured);
    EXPECT_NEAR(measured->integrated_lufs, reference.integrated_lufs, kToleranceLu);
    EXPECT_NEAR(measured->true_peak_dbtp, reference.true_peak_dbtp, kToleranceLu);
}

INSTANTIATE_TEST_SUITE_P(QuietToLoud, LoudnessOfFormat,
                         ::testing::Combine(::testing::Values(ClipFormat::Mp3, ClipFormat::VcdMpeg,
                                                              ClipFormat::Mp4),
                                            ::testing::Values(-30.0, -20.0, -10.0)));

// Two streams: the first plays. Three or more: the player starts on the
// second (the accompaniment of "左").
TEST(LoudnessMeter, MeasuresTheStreamTheSongStartsWith) {
    TempFolder folder;
    const QString quiet = folder.file("quiet.mp3");
    const QString loud = folder.file("loud.mp3");
    const QString two = folder.file("two_streams.mkv");
    const QString three = folder.file("three_streams.mkv");
    make_loudness_clip(quiet, ClipFormat::Mp3, -30);
    make_loudness_clip(loud, ClipFormat::Mp3, -10);
    run_ffmpeg({"-i", quiet, "-i", loud, "-map", "0:a", "-map", "1:a", "-c", "copy"}, two);
    run_ffmpeg({"-i", quiet, "-i", loud, "-map", "0:a", "-map", "1:a", "-map", "0:a", "-c", "copy"}, three);

    const std::optional<MeasuredLoudness> of_two = measure_loudness(two, kDefaultSoundfont);
    const std::optional<MeasuredLoudness> of_three = measure_loudness(three, kDefaultSoundfont);
    ASSERT_TRUE(of_two && of_three);
    EXPECT_NEAR(of_two->integrated_lufs, ffmpeg_loudness(quiet).integrated_lufs, kToleranceLu);
    EXPECT_NEAR(of_three->integrated_lufs, ffmpeg_loudness(loud).integrated_lufs, kToleranceLu);
}

// A stereo stream whose sides differ by 20 dB (guide and accompaniment):
// measured as heard, one side on both speakers, or both as recorded.
TEST(LoudnessMeter, MeasuresOneStereoStreamAsItsSideIsHeard) {
    TempFolder folder;
    const QString song = folder.file("vcd.mpg");
    const QString left_heard = folder.file("left_heard.wav");
    const QString right_heard = folder.file("right_heard.wav");
    const QString tones = "aevalsrc=0.02*sin(2*PI*440*t)|0.2*sin(2*PI*660*t):s=44100:d=4";
    run_ffmpeg({"-f", "lavfi", "-i", tones, "-c:a", "mp2", "-b:a", "224k"}, song);
    run_ffmpeg({"-i", song, "-af", "pan=stereo|c0=c0|c1=c0"}, left_heard);
    run_ffmpeg({"-i", song, "-af", "pan=stereo|c0=c1|c1=c1"}, right_heard);

    const auto left = measure_loudness(song, kDefaultSoundfont, StereoSide::left);
    const auto right = measure_loudness(song, kDefaultSoundfont, StereoSide::right);
    const auto both = measure_loudness(song, kDefaultSoundfont, StereoSide::both);
    ASSERT_TRUE(left && right && both);
    EXPECT_NEAR(left->integrated_lufs, ffmpeg_loudness(left_heard).integrated_lufs, kToleranceLu);
    EXPECT_NEAR(right->integrated_lufs, ffmpeg_loudness(right_heard).integrated_lufs, kToleranceLu);
    EXPECT_NEAR(both->integrated_lufs, ffmpeg_loudness(song).integrated_lufs, kToleranceLu);
    EXPECT_EQ(left->side, StereoSide::left);
    EXPECT_EQ(both->side, StereoSide::both);
}

// The player sends a mono sound to both speakers, where it is 3 dB louder
// than on one.
TEST(LoudnessMeter, MeasuresAMonoSoundOnBothSpeakers) {
    TempFolder folder;
    const QString mono = folder.file("mono.mp3");
    const QString on_both = folder.file("on_both.wav");
    run_ffmpeg({"-f", "lavfi", "-i", "sine=frequency=997:duration=4:sample_rate=44100,volume=-6dB"}, mono);
    run_ffmpeg({"-i", mono, "-af", "pan=stereo|c0=c0|c1=c0"}, on_both);
    const auto measured = measure_loudness(mono, kDefaultSoundfont);
    ASSERT_TRUE(measured);
    EXPECT_NEAR(measured->integrated_lufs, ffmpeg_loudness(on_both).integrated_lufs, kToleranceLu);
    EXPECT_NEAR(measured->integrated_lufs, ffmpeg_loudness(mono).integrated_lufs + 3, kToleranceLu);
}

// Media of several streams have no sides to hear apart.
TEST(LoudnessMeter, MediaOfSeveralStreamsAreMeasuredWithAllTheirChannels) {
    TempFolder folder;
    const QString stereo = folder.file("stereo.mp3");
    const QString two = folder.file("two_streams.mkv");
    run_ffmpeg({"-f", "lavfi", "-i", "aevalsrc=0.02*sin(2*PI*440*t)|0.2*sin(2*PI*660*t):s=44100:d=4"},
               stereo);
    run_ffmpeg({"-i", stereo, "-i", stereo, "-map", "0:a", "-map", "1:a", "-c", "copy"}, two);
    const auto measured = measure_loudness(two, kDefaultSoundfont, StereoSide::left);
    ASSERT_TRUE(measured);
    EXPECT_FALSE(measured->side);
    EXPECT_NEAR(measured->integrated_lufs, ffmpeg_loudness(stereo).integrated_lufs, kToleranceLu);
}

// A tone at a quarter of the sampling rate, a quarter period off the
// samples: every sample lies 3 dB under the peaks between them.
TEST(LoudnessMeter, FindsThePeaksBetweenTheSamples) {
    TempFolder folder;
    const QString tone = folder.file("tone.wav");
    run_ffmpeg({"-f", "lavfi", "-i", "aevalsrc=0.5*sin(2*PI*11025*t+PI/4):s=44100:d=2:c=stereo"}, tone);
    const std::optional<MeasuredLoudness> measured = measure_loudness(tone, kDefaultSoundfont);
    ASSERT_TRUE(measured);
    EXPECT_NEAR(measured->true_peak_dbtp, -6.02, kToleranceLu);
    // FFmpeg's own interpolation overshoots here by half a dB.
    EXPECT_NEAR(measured->true_peak_dbtp, ffmpeg_loudness(tone).true_peak_dbtp, 1);
}

TEST(LoudnessMeter, MeasuresMidiFilesAsRendered) {
    const std::optional<MeasuredLoudness> measured =
        measure_loudness(media_clips().tune_mid, kDefaultSoundfont);
    ASSERT_TRUE(measured);
    EXPECT_GT(measured->integrated_lufs, -50);
    EXPECT_LT(measured->integrated_lufs, 0);
}

TEST(LoudnessMeter, HasNothingForFilesWithoutDecodableSound) {
    EXPECT_FALSE(measure_loudness(media_clips().corrupt, kDefaultSoundfont));
    EXPECT_FALSE(measure_loudness(media_clips().corrupt_mid, kDefaultSoundfont));
    EXPECT_FALSE(measure_loudness(media_clips().missing, kDefaultSoundfont));
    TempFolder folder;
    const QString silent_video = folder.file("silent.mp4");
    run_ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-c:v", "mpeg4"},
               silent_video);
    EXPECT_FALSE(measure_loudness(silent_video, kDefaultSoundfont));
}

// The background measurement gives way to a song by setting the stop.
TEST(LoudnessMeter, AStopAlreadySetDecodesNothing) {
    TempFolder folder;
    const QString clip = folder.file("song.mp3");
    make_loudness_clip(clip, ClipFormat::Mp3, -20);
    const std::atomic<bool> stop = true;
    EXPECT_FALSE(measure_loudness(clip, kDefaultSoundfont, StereoSide::both, &stop));
    EXPECT_TRUE(measure_loudness(clip, kDefaultSoundfont));
}

TEST(LoudnessGain, BringsASongToTheTargetLevel) {
    EXPECT_DOUBLE_EQ(loudness_gain_db({-30, -20}), 14);
    EXPECT_DOUBLE_EQ(loudness_gain_db({-10, -2}), -6);
}

TEST(LoudnessGain, KeepsTheTruePeakUnderTheCeiling) {
    // A quiet song with loud peaks (a drum hit) is raised only until its
    // peak reaches -1 dBTP.
    EXPECT_DOUBLE_EQ(loudness_gain_db({-30, -5}), 4);
    // A loud song is lowered further when its peak would still be over.
    EXPECT_DOUBLE_EQ(loudness_gain_db({-17, 1}), -2);
}

}  // namespace
