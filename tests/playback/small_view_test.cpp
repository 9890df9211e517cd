#include "playback/small_view.h"
#include "support/fake_media_player.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class SmallViewTest : public ::testing::Test {
protected:
    SmallViewTest() {
        state->screen_size = {1000, 700};
        state->platform.make_media_player = players.factory();
        view = std::make_unique<small_view>(*state, nullptr);
        view->file_to_watch = "/songs/夜 曲#1.mpg";
    }
    FakeMediaPlayer& media() { return *players.last(); }

    TempFolder folder;
    std::unique_ptr<AppState> state = make_test_state(folder);
    FakeMediaPlayers players;
    std::unique_ptr<small_view> view;
};

TEST_F(SmallViewTest, TakesHalfTheScreenWithTheVideoOnEightTenthsOfIt) {
    EXPECT_EQ(view->windowTitle(), "小瀏覽影片視窗");
    EXPECT_EQ(view->size(), QSize(500, 350));
    EXPECT_EQ(media().geometry(), QRect(50, 0, 400, 280));
    for (QWidget* control :
         std::initializer_list<QWidget*>{&view->play_pause, &view->stop, &view->position, &view->volume}) {
        EXPECT_GE(control->y(), 280);
        EXPECT_LE(control->geometry().bottom(), 350);
    }
}

TEST_F(SmallViewTest, PlaysTheFileOnTheFirstShowingOnly) {
    EXPECT_FALSE(media().auto_start());
    view->show();
    EXPECT_EQ(media().played_urls, QStringList{"file:///songs/夜 曲#1.mpg"});
    media().set_position(12);
    view->hide();
    view->show();
    EXPECT_EQ(media().played_urls.size(), 1);
    EXPECT_EQ(media().play_state(), play_state::playing);

    view->close();
    EXPECT_EQ(media().play_state(), play_state::undefined);
}

TEST_F(SmallViewTest, TransportControlsDriveThePlayer) {
    view->show();
    media().set_duration(200);
    media().set_position(65);
    view->refresh_controls();
    EXPECT_EQ(view->position.maximum(), 200);
    EXPECT_EQ(view->position.value(), 65);
    EXPECT_EQ(view->position_label.text(), "01:05 / 03:20");

    view->position.setSliderDown(true);
    view->position.setValue(150);
    view->position.setSliderDown(false);  // released: the player jumps there
    EXPECT_EQ(media().position_seconds(), 150);

    view->play_pause.click();
    EXPECT_EQ(media().play_state(), play_state::paused);
    view->play_pause.click();
    EXPECT_EQ(media().play_state(), play_state::playing);
    view->stop.click();
    EXPECT_EQ(media().play_state(), play_state::stopped);
    view->play_pause.click();
    EXPECT_EQ(media().played_urls.size(), 2);  // from the start again

    view->volume.setValue(80);
    EXPECT_EQ(media().volume(), 80);
}

}  // namespace
