#pragma once

#include <QtGlobal>

class QTimer;

// The one source of time for every timer interval and every wait.
// The real program runs at speed 1; tests run it faster so that the
// three-second pauses of the jukebox take a few milliseconds.
class Clock {
public:
    explicit Clock(int speedup = 1);

    int speedup() const { return speedup_; }

    // Milliseconds to really wait for an interval given in design milliseconds.
    int real_ms(int design_ms) const;

    // Sets a timer's interval from its design interval (in milliseconds).
    void set_interval(QTimer& timer, int design_ms) const;

    // Design milliseconds elapsed since the clock was made (monotonic).
    qint64 elapsed_design_ms() const;

    // Returns after the given number of (design) seconds, processing window
    // events all the while in a nested event loop.
    void wait_seconds(int seconds) const;

private:
    int speedup_;
    qint64 start_ns_;
};
