#include "platform/power_off.h"

#include <gtest/gtest.h>

// The command is only looked at here, never run.
TEST(PowerOffTest, SwitchesOffOneSecondLaterThroughSystemdOrTheClassicShutdown) {
    const PowerOffCommand with_systemd = power_off_command(true);
    EXPECT_EQ(with_systemd.program, "/bin/sh");
    EXPECT_EQ(with_systemd.arguments, QStringList({"-c", "sleep 1; exec systemctl poweroff"}));
    EXPECT_EQ(power_off_command(false).arguments, QStringList({"-c", "sleep 1; exec shutdown -P +0"}));
}
