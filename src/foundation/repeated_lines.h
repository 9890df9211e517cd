#pragma once

// Keeps a log line that repeats from filling the log: the catalogue's
// failures come once per statement, and while a catalogue server is out of
// reach every phone's search fails the same way, many times a second.

#include <QHash>
#include <QString>

#include <chrono>
#include <mutex>
#include <optional>

class RepeatedLines {
public:
    using Clock = std::chrono::steady_clock;

    // A line is written `burst` times per `quiet` at most: a failure that
    // comes now and then is logged each time.
    RepeatedLines(Clock::duration quiet, int burst) : quiet_(quiet), burst_(burst) {}

    // The line to write now: its first `burst` times within `quiet` of its
    // first; then, once `quiet` has passed, again with how many times it
    // came meanwhile. Nothing while it is held back. Safe on any thread.
    std::optional<QString> pass(const QString& line, Clock::time_point now);

private:
    struct Seen {
        Clock::time_point since;  // the first of the lines written lately
        int written = 0;
        int held = 0;
    };

    void forget_quiet_lines(Clock::time_point now);

    const Clock::duration quiet_;
    const int burst_;
    std::mutex guard_;
    QHash<QString, Seen> seen_;
};
