#include "foundation/singing_score.h"
#include "support/singing_clips.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFrames = kSongSeconds * kPitchFramesPerSecond;

// A singer who holds one note throughout (what the chord alone sounds like).
PitchTrack held_note(float note) {
    return PitchTrack(kFrames, note);
}

struct SingerCase {
    const char* name;
    PitchTrack singer;
    int least;
    int most;
};

class ScoreOfSinger : public ::testing::TestWithParam<SingerCase> {};

TEST_P(ScoreOfSinger, FallsInItsRange) {
    const std::optional<int> score = singing_score(tune_track(), GetParam().singer, 0);
    ASSERT_TRUE(score);
    EXPECT_GE(*score, GetParam().least);
    EXPECT_LE(*score, GetParam().most);
}

INSTANTIATE_TEST_SUITE_P(
    Singers, ScoreOfSinger,
    ::testing::Values(SingerCase{"on_time", tune_track(), 98, 100},
                      // The speakers' delay reaches the microphone late; the search finds it.
                      SingerCase{"late_120_ms", tune_track(kSongSeconds, 0, 12), 90, 100},
                      SingerCase{"late_480_ms", tune_track(kSongSeconds, 0, 48), 90, 100},
                      SingerCase{"an_octave_down", tune_track(kSongSeconds, -12, 12), 85, 100},
                      SingerCase{"three_semitones_up", tune_track(kSongSeconds, 3, 12), 0, 30},
                      SingerCase{"three_semitones_down", tune_track(kSongSeconds, -3, 12), 0, 30},
                      SingerCase{"silent", PitchTrack(kFrames, 0.0F), 0, 0},
                      SingerCase{"the_chord_alone", held_note(48), 0, 20}),
    [](const auto& info) { return std::string(info.param.name); });

// Notes of half a second climbing by two semitones, `semitones` off.
PitchTrack stepwise_tune(int semitones, int delay_frames) {
    PitchTrack track(kFrames + delay_frames, 0.0F);
    for (int i = 0; i < kFrames; ++i)
        track[i + delay_frames] = static_cast<float>(60 + 2 * (i / 50 % 5) + semitones);
    return track;
}

TEST(SingingScore, ThreeSemitonesOffATuneOfSmallStepsMeetsNoWholeNote) {
    // Through the slack each note's start meets the note before it sung
    // three semitones off: a third of the frames, but half of no note.
    EXPECT_EQ(singing_score(stepwise_tune(0, 0), stepwise_tune(3, 12), 0).value_or(-1), 0);
    EXPECT_GE(singing_score(stepwise_tune(0, 0), stepwise_tune(0, 12), 0).value_or(-1), 95);
}

TEST(SingingScore, KeyChangeMovesTheReference) {
    const PitchTrack two_up = tune_track(kSongSeconds, 2, 12);
    EXPECT_GE(singing_score(tune_track(), two_up, 2).value_or(-1), 90);
    EXPECT_LE(singing_score(tune_track(), two_up, 0).value_or(101), 40);
    EXPECT_GE(singing_score(tune_track(), tune_track(kSongSeconds, -12), -12).value_or(-1), 90)
        << "an octave down is the same note";
}

TEST(SingingScore, SlackForgivesNotesComingLateBySomeHundredMilliseconds) {
    // Half the notes sung 140 ms late and half on time cannot both be the
    // delay; the slack forgives the difference.
    PitchTrack uneven = tune_track();
    const PitchTrack late = tune_track(kSongSeconds, 0, 14);
    std::copy(late.begin(), late.begin() + kFrames / 2, uneven.begin());
    EXPECT_GE(singing_score(tune_track(), uneven, 0).value_or(-1), 90);
}

TEST(SingingScore, NoneForASongCutBeforeHalfItsLength) {
    const PitchTrack reference = tune_track();
    const PitchTrack sung = tune_track();
    EXPECT_FALSE(singing_score(reference, PitchTrack(sung.begin(), sung.begin() + kFrames / 2 - 1), 0));
    EXPECT_TRUE(singing_score(reference, PitchTrack(sung.begin(), sung.begin() + kFrames / 2), 0));
}

TEST(SingingScore, NoneWithoutAMelody) {
    EXPECT_FALSE(singing_score({}, tune_track(), 0));
    EXPECT_FALSE(singing_score(PitchTrack(kFrames, 0.0F), tune_track(), 0));
}

TEST(SingingScore, AGoodAmateurScoresSeventyToNinety) {
    // Keeping to the tune for a half to two thirds of its notes.
    EXPECT_GE(score_of_share(0.5), 70);
    EXPECT_LE(score_of_share(0.67), 90);
    EXPECT_EQ(score_of_share(0.1), 0);
    EXPECT_EQ(score_of_share(1.0), 100);
}

}  // namespace
