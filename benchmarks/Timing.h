#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace vx::bench {

// The median of `runs` timings of `measured`, in milliseconds; `prepare` runs untimed before
// each, to put back what the previous run changed.
inline double MedianMilliseconds(int runs, const std::function<void()>& prepare,
                                 const std::function<void()>& measured) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        measured();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// One line of the bench's table: the figure, and its target where it has one.
inline void Report(const char* figure, double milliseconds, const char* target) {
    std::printf("%-58s %9.1f ms   %s\n", figure, milliseconds, target);
}

}  // namespace vx::bench
