#include "sync/DriftStretches.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora {
namespace {

// How near in time and in size a step by another program must be to one of ours to be that one.
constexpr double kTwinSeconds = 60;
constexpr double kTwinSize = 0.005;

struct OwnStep {
    double seconds;
    double size;
};

// Which records are steps seen by another copy of the program that this one made itself.
std::vector<bool> TwinSteps(const std::vector<HistoryRecord>& history) {
    std::vector<OwnStep> own;
    for (const HistoryRecord& record : history) {
        if (record.kind == HistoryRecord::Kind::Step) {
            own.push_back({record.unixSeconds, record.offsetSeconds});
        }
    }
    std::sort(own.begin(), own.end(),
              [](const OwnStep& a, const OwnStep& b) { return a.seconds < b.seconds; });
    std::vector<bool> twins(history.size(), false);
    for (std::size_t i = 0; i < history.size(); ++i) {
        const HistoryRecord& other = history[i];
        if (other.kind != HistoryRecord::Kind::OtherStep) {
            continue;
        }
        auto near = std::lower_bound(
            own.begin(), own.end(), other.unixSeconds - kTwinSeconds,
            [](const OwnStep& step, double seconds) { return step.seconds < seconds; });
        for (; near != own.end() && near->seconds <= other.unixSeconds + kTwinSeconds; ++near) {
            twins[i] = twins[i] || std::abs(near->size - other.offsetSeconds) <= kTwinSize;
        }
    }
    return twins;
}

}  // namespace

std::vector<DriftStretch> DriftStretches(const std::vector<HistoryRecord>& history) {
    const std::vector<bool> twins = TwinSteps(history);
    std::vector<DriftStretch> stretches(1);
    // The last answer, as it would have read had the steps since come before it.
    std::optional<DriftPoint> last;
    int carried = 0;
    for (std::size_t i = 0; i < history.size(); ++i) {
        const HistoryRecord& record = history[i];
        if (record.IsStep()) {
            if (twins[i]) {
                continue;
            }
            if (!stretches.back().points.empty()) {
                stretches.emplace_back();
            }
            stretches.back().steppedAt = record.unixSeconds;
            if (last) {
                last->offset -= record.offsetSeconds;
                ++carried;
            }
            continue;
        }
        DriftStretch& stretch = stretches.back();
        if (stretch.points.empty() && carried > 0) {
            stretch.points.push_back(*last);
            stretch.steps = carried;
        }
        carried = 0;
        last = DriftPoint{record.unixSeconds, record.offsetSeconds, i};
        stretch.points.push_back(*last);
    }
    std::erase_if(stretches, [](const DriftStretch& s) { return s.points.size() < 2; });
    return stretches;
}

}  // namespace velmora
