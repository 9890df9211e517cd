#include "foundation/clock.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Clock, WaitRunsOtherTimersAndTakesTheScaledTime) {
    Clock clock(100);
    int ticks = 0;
    QTimer timer;
    clock.set_interval(timer, 100);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();

    QElapsedTimer real;
    real.start();
    const qint64 design_before = clock.elapsed_design_ms();
    clock.wait_seconds(3);

    EXPECT_GE(clock.elapsed_design_ms() - design_before, 3000);
    EXPECT_LT(real.elapsed(), 1000);  // three design seconds are 30 real ms
    EXPECT_GE(ticks, 10);             // timers of other windows fire inside the wait
}

TEST(Clock, ShortIntervalsNeverBecomeZero) {
    Clock clock(100);
    EXPECT_EQ(clock.real_ms(20), 1);
    EXPECT_EQ(clock.real_ms(3000), 30);
    EXPECT_EQ(Clock().real_ms(20), 20);
}
