#include "ui/common/HistoryRange.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace velmora {
namespace {

// Far around the middle half of the offsets.
std::pair<double, double> Fence(std::vector<double> offsets) {
    std::sort(offsets.begin(), offsets.end());
    const double low = offsets[offsets.size() / 4];
    const double high = offsets[offsets.size() * 3 / 4];
    const double reach = 3 * std::max(high - low, 1e-3);
    return {low - reach, high + reach};
}

// Zero, the clock in step with the servers, is always shown. A stretch after a big step lies
// beyond the fence, and is no wild answer: its line, which wild answers do not move, stays in view.
std::pair<double, double> OffsetsShown(const std::vector<double>& offsets,
                                       const std::vector<DriftLine>& lines) {
    double low = 0;
    double high = 0;
    if (!offsets.empty()) {
        const auto [lowest, highest] = Fence(offsets);
        for (double offset : offsets) {
            if (offset >= lowest && offset <= highest) {
                low = std::min(low, offset);
                high = std::max(high, offset);
            }
        }
    }
    for (const DriftLine& line : lines) {
        low = std::min({low, line.fromOffset, line.toOffset});
        high = std::max({high, line.fromOffset, line.toOffset});
    }
    return {low, high};
}

}  // namespace

HistoryRange FitHistoryRange(const std::vector<HistoryRecord>& records,
                             const std::vector<DriftLine>& lines) {
    if (records.empty()) {
        return {};
    }
    double from = std::numeric_limits<double>::infinity();
    double to = -from;
    std::vector<double> offsets;
    for (const HistoryRecord& record : records) {
        from = std::min(from, record.unixSeconds);
        to = std::max(to, record.unixSeconds);
        if (!record.IsStep()) {
            offsets.push_back(record.offsetSeconds);
        }
    }
    if (to - from < 600) {
        from = (from + to) / 2 - 300;
        to = from + 600;
    }
    auto [low, high] = OffsetsShown(offsets, lines);
    if (high - low < 2e-3) {
        low = (low + high) / 2 - 1e-3;
        high = low + 2e-3;
    }
    const double across = (to - from) * 0.02;
    const double upward = (high - low) * 0.08;
    return {from - across, to + across, low - upward, high + upward};
}

}  // namespace velmora
