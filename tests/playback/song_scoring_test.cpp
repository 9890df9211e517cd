// The singing score of songs the session plays, with the microphone fed from
// a file through the test ALSA device.
#include "playback/session_fixture.h"
#include "playback/song_scoring.h"
#include "support/singing_clips.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {

// One song file of each layout for the whole program: making them takes ffmpeg a while.
const QString& song_of(SongLayout layout) {
    static TempFolder folder;
    static std::map<SongLayout, QString> made;
    if (!made.count(layout)) {
        made[layout] = folder.file(QString("song%1.mp4").arg(static_cast<int>(layout)));
        make_scored_song(made[layout], layout);
    }
    return made[layout];
}

std::optional<int> score_sung(SongLayout layout, const Singing& singing, int key_shift = 0) {
    SingingMicrophone microphone(singing);
    SongScoring scoring(microphone.factory());
    scoring.song_started(song_of(layout));
    EXPECT_TRUE(microphone.heard_whole_song());
    return scoring.song_over(key_shift);
}

struct SingingCase {
    const char* name;
    Singing singing;
    int least;
    int most;
};

class ScoreOfSinging : public ::testing::TestWithParam<std::tuple<SongLayout, SingingCase>> {};

TEST_P(ScoreOfSinging, FallsInItsRange) {
    const auto& [layout, sung] = GetParam();
    const std::optional<int> score = score_sung(layout, sung.singing);
    ASSERT_TRUE(score);
    EXPECT_GE(*score, sung.least);
    EXPECT_LE(*score, sung.most);
}

INSTANTIATE_TEST_SUITE_P(
    Singers, ScoreOfSinging,
    ::testing::Combine(
        ::testing::Values(SongLayout::VcdStereo, SongLayout::TwoStreams),
        ::testing::Values(
            SingingCase{"late_120_ms", Singing{.delay_ms = 120}, 90, 100},
            SingingCase{"three_semitones_off", Singing{.delay_ms = 120, .semitones = 3}, 0, 30},
            SingingCase{"an_octave_down", Singing{.delay_ms = 120, .semitones = -12}, 85, 100},
            SingingCase{"silent", Singing{.tune = false}, 0, 0},
            SingingCase{"the_accompaniment_alone", Singing{.tune = false, .chord = true}, 0, 20},
            SingingCase{"over_the_speakers", Singing{.delay_ms = 200, .chord = true}, 85, 100})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == SongLayout::VcdStereo ? "vcd_" : "two_streams_") +
               std::get<1>(info.param).name;
    });

TEST(SongScoring, KeyChangeShiftsTheReference) {
    EXPECT_GE(score_sung(SongLayout::VcdStereo, Singing{.delay_ms = 120, .semitones = 2}, 2).value_or(-1),
              90);
}

TEST(SongScoring, NoScoreWithoutAnAccompanimentOrForASongCutEarly) {
    EXPECT_FALSE(score_sung(SongLayout::SingleStream, Singing{.delay_ms = 120}));
    EXPECT_FALSE(
        score_sung(SongLayout::VcdStereo, Singing{.delay_ms = 120, .seconds = kSongSeconds / 2 - 1}));
}

// Song 1 a scored VCD, song 2 with no accompaniment to take away.
class ScoredSessionTest : public ::testing::Test, public SessionFixture {
protected:
    ScoredSessionTest() {
        add_song(1, song_of(SongLayout::VcdStereo));
        add_song(2, song_of(SongLayout::SingleStream));
        state->settings.Score = 1;
        state->platform.make_microphone_pitch = microphone.factory();
    }
    ~ScoredSessionTest() override { end_session(); }

    // Plays the head to its end, the microphone having heard all of it.
    void sing_head() {
        session().start_head_if_idle();
        ASSERT_TRUE(microphone.heard_whole_song());
        media().finish_song();
    }

    SingingMicrophone microphone{Singing{.delay_ms = 120}};
    LogLines log;
};

TEST_F(ScoredSessionTest, TheScoreIsShownBetweenSongsAndLogged) {
    queue_song(1);
    queue_song(2);
    std::optional<int> between_songs;
    during([&] { sing_head(); }, 1000, [&] { between_songs = session().shown_score(); });
    ASSERT_TRUE(between_songs);
    EXPECT_GE(*between_songs, 90);
    EXPECT_EQ(log.of("karaoke.score"),
              QStringList{QString("song %1 score %2").arg(song_num(1)).arg(*between_songs)});
    // The next song plays: its background will show its own score.
    EXPECT_FALSE(session().shown_score());
}

TEST_F(ScoredSessionTest, ASongWithoutAccompanimentShowsNoScore) {
    queue_song(2);
    sing_head();
    EXPECT_TRUE(background_shown);
    EXPECT_FALSE(session().shown_score());
    EXPECT_TRUE(log.of("karaoke.score").isEmpty());
}

TEST_F(ScoredSessionTest, WithoutTheScoreKeyNothingIsScored) {
    state->settings.Score = 0;
    queue_song(1);
    session().start_head_if_idle();
    media().finish_song();
    EXPECT_FALSE(session().shown_score());
    EXPECT_TRUE(log.of("karaoke.score").isEmpty());
}

}  // namespace
