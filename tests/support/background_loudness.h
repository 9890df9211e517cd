#pragma once

#include "foundation/app_state.h"
#include "foundation/catalogue.h"
#include "foundation/loudness_background.h"
#include "foundation/loudness_store.h"

#include <QDeadlineTimer>
#include <QTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

// Waits, a bounded while, until the background measurement has stored the
// measurement of the file as it is now.
inline bool measured_in_background(const AppState& state, const QString& path) {
    return QTest::qWaitFor(
        [&] {
            const std::optional<MediaFileStamp> file = media_file_stamp(path);
            return file && stored_loudness(shared_session(state.db_path), *file).has_value();
        },
        10000);
}

// A measurement that holds each file until the test lets it go or the
// worker tells it to stop, counting both; every file measures -20 LUFS.
struct HeldMeasurement {
    std::atomic<int> started = 0;
    std::atomic<int> stopped = 0;
    std::atomic<bool> holding = true;

    // The meter for a BackgroundLoudness; it shares the counts, so it may
    // outlive the test's own handle.
    static BackgroundLoudness::Meter meter(const std::shared_ptr<HeldMeasurement>& held) {
        return [held](const QString&, const std::atomic<bool>& stop) -> std::optional<MeasuredLoudness> {
            ++held->started;
            const QDeadlineTimer deadline(10000);  // a test that fails must not hang
            while (held->holding && !stop && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (stop) ++held->stopped;
            return MeasuredLoudness{-20, -3};
        };
    }
};
