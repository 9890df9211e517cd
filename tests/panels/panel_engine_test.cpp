#include "panels/small_control_main.h"
#include "platform/mpv_media_player.h"
#include "playback/player_fixture.h"
#include "support/media_clips.h"

#include <gtest/gtest.h>

namespace {

// Only an upper bound; the clips play in real time, the pauses on the test clock.
constexpr int kTimeoutMs = 20000;

// The panel's cut on libmpv, without video or sound output.
TEST(PanelOnTheEngineTest, CutDuringATwoSongQueuePlaysTheSecondAfterTheBackground) {
    PlayerFixture fixture;
    AppState& state = *fixture.state;
    state.platform.make_media_player = mpv_media_player_factory({.null_video = true, .null_audio = true});
    const MediaClips& clips = media_clips();
    fixture.add_song(1, clips.three_streams);
    fixture.add_song(2, clips.two_streams);
    fixture.queue_song(1);
    fixture.queue_song(2);
    player& screen = fixture.open_player();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return screen.wmp1->play_state() == play_state::playing; }, kTimeoutMs));

    const qint64 before = state.clock.elapsed_design_ms();
    small_control_main(state, screen.session(), &screen).key_next_Click();
    EXPECT_GE(state.clock.elapsed_design_ms() - before, 3000);
    EXPECT_EQ(state.play_queue.size(), 1);
    EXPECT_EQ(screen.wmp1->url(), file_url(clips.two_streams));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return screen.wmp1->play_state() == play_state::playing; }, kTimeoutMs));
}

}  // namespace
