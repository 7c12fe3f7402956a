#pragma once

// What the benchmarks share: percentiles of samples and the time since a start.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace velmora::bench {

inline double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return NAN;
    }
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * double(values.size()))) - 1;
    return values[std::min(rank, values.size() - 1)];
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace velmora::bench
