#include "main_menu_fixture.h"

namespace {

const QStringList kShutdownLines{"1. 確定關閉唱歌程式及關機", "2. 確定關閉唱歌程式及繼續",
                                 "   使用Windows作業系統", "", "0. 回主選單"};

class ShutdownTest : public MainMenuTest {
protected:
    ShutdownTest() {
        open_menu();
        press("0");
    }
};

TEST_F(ShutdownTest, OtherKeysLeaveTheScreenAndZeroReturnsWithoutEnter) {
    EXPECT_EQ(menu->screen_name(), "10");
    EXPECT_EQ(screen(), kShutdownLines);
    press("+9E.");
    EXPECT_EQ(screen(), kShutdownLines);
    EXPECT_EQ(menu->screen_name(), "10");
    EXPECT_EQ(label1(), "");
    EXPECT_EQ(power_off_requests + program_ends, 0);
    press("0");
    EXPECT_EQ(screen(), kMainMenuLines);
}

TEST_F(ShutdownTest, OneSwitchesTheMachineOffAndEndsTheProgram) {
    press("1");
    EXPECT_EQ(power_off_requests, 1);
    EXPECT_EQ(program_ends, 1);
}

TEST_F(ShutdownTest, TwoOnlyEndsTheProgram) {
    press("2");
    EXPECT_EQ(power_off_requests, 0);
    EXPECT_EQ(program_ends, 1);
}

}  // namespace
