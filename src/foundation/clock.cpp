#include "foundation/clock.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace {
qint64 monotonic_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

Clock::Clock(int speedup) : speedup_(std::max(1, speedup)), start_ns_(monotonic_ns()) {}

int Clock::real_ms(int design_ms) const {
    if (design_ms <= 0) return 0;
    return std::max(1, design_ms / speedup_);
}

void Clock::set_interval(QTimer& timer, int design_ms) const {
    timer.setInterval(real_ms(design_ms));
}

qint64 Clock::elapsed_design_ms() const {
    return (monotonic_ns() - start_ns_) * speedup_ / 1000000;
}

void Clock::wait_seconds(int seconds) const {
    if (seconds <= 0) return;
    // A steady clock: the wait neither grows nor shrinks when the wall clock
    // jumps (midnight, daylight saving, a time sync).
    QEventLoop loop;
    QTimer::singleShot(real_ms(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
