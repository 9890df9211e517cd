#include "foundation/repeated_lines.h"

namespace {

// Lines differ by the values in their messages (a duplicate key names it):
// past this many, those quiet for `quiet` are forgotten.
constexpr qsizetype kMostLinesRemembered = 256;

}  // namespace

std::optional<QString> RepeatedLines::pass(const QString& line, Clock::time_point now) {
    const std::lock_guard lock(guard_);
    auto found = seen_.find(line);
    if (found == seen_.end()) {
        if (seen_.size() >= kMostLinesRemembered) forget_quiet_lines(now);
        found = seen_.insert(line, Seen{now, 0, 0});
    }
    Seen& seen = found.value();
    if (now - seen.since >= quiet_) {
        const int held = seen.held;
        seen = Seen{now, 1, 0};
        if (held == 0) return line;
        return line + QString(" (%1 more like it since it was last logged)").arg(held);
    }
    if (seen.written < burst_) {
        ++seen.written;
        return line;
    }
    ++seen.held;
    return std::nullopt;
}

void RepeatedLines::forget_quiet_lines(Clock::time_point now) {
    seen_.removeIf([&](const auto& entry) { return now - entry.value().since >= quiet_; });
}
