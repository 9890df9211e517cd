#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

// Runs the benchmark loop timing every call on its own and reports the median
// call as counter "median_us": a single slow call (another process taking the
// core) then cannot move the figure the targets are stated in.
template <typename Call>
void run_timing_median(benchmark::State& state, Call&& call) {
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        call();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    if (micros.empty()) return;
    const auto middle = micros.begin() + static_cast<std::ptrdiff_t>(micros.size() / 2);
    std::nth_element(micros.begin(), middle, micros.end());
    state.counters["median_us"] = *middle;
}
