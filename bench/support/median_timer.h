#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

// Runs the benchmark loop timing every call on its own; the times in
// microseconds, unordered.
template <typename Call>
std::vector<double> time_each_call(benchmark::State& state, Call&& call) {
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        call();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    return micros;
}

// Reports the median call as counter "median_us": a single slow call
// (another process taking the core) then cannot move the figure the targets
// are stated in.
template <typename Call>
void run_timing_median(benchmark::State& state, Call&& call) {
    std::vector<double> micros = time_each_call(state, call);
    if (micros.empty()) return;
    const auto middle = micros.begin() + static_cast<std::ptrdiff_t>(micros.size() / 2);
    std::nth_element(micros.begin(), middle, micros.end());
    state.counters["median_us"] = *middle;
}

// Reports "median_us", "p95_us" and the slowest call, "max_us", for targets
// stated for (nearly) every call.
template <typename Call>
void run_timing_percentiles(benchmark::State& state, Call&& call) {
    std::vector<double> micros = time_each_call(state, call);
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p95_us"] = micros[micros.size() * 95 / 100];
    state.counters["max_us"] = micros.back();
}
