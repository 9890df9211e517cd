#include "foundation/repeated_lines.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const RepeatedLines::Clock::time_point kStart{};

}  // namespace

TEST(RepeatedLines, AFloodOfOneLineIsCutToABurstAMinuteWithHowOftenItCame) {
    RepeatedLines lines(1min, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lines.pass("server down", kStart + i * 100ms), "server down");
    for (int i = 3; i < 500; ++i) EXPECT_FALSE(lines.pass("server down", kStart + i * 100ms));
    EXPECT_EQ(lines.pass("another failure", kStart + 1s), "another failure");
    EXPECT_EQ(lines.pass("server down", kStart + 60s),
              "server down (497 more like it since it was last logged)");
    EXPECT_EQ(lines.pass("server down", kStart + 61s), "server down");
    EXPECT_EQ(lines.pass("another failure", kStart + 62s), "another failure");
}

// Failures naming their values differ line by line: the lines remembered
// stay bounded, and a line forgotten starts afresh.
TEST(RepeatedLines, ManyDifferentLinesAreAllWrittenAndForgottenOnceQuiet) {
    RepeatedLines lines(1min, 1);
    for (int i = 0; i < 10'000; ++i) {
        const QString line = QString("duplicate key %1").arg(i);
        ASSERT_EQ(lines.pass(line, kStart + i * 1s), line);
    }
    EXPECT_EQ(lines.pass("duplicate key 0", kStart + 10'000s), "duplicate key 0");
    EXPECT_FALSE(lines.pass("duplicate key 9999", kStart + 10'000s));
}
