#include "sync/DriftFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {
namespace {

struct Answer {
    double seconds;
    double offset;
};
using Stretch = std::vector<Answer>;

struct Slope {
    double value;
    double weight;
};

// Beyond this many answers only every n-th enters the fit: the pairs grow with the square.
constexpr std::size_t kMostFitted = 600;

// The answers between two steps of the clock, in the order they came; only stretches of two
// answers or more say anything about a rate.
std::vector<Stretch> Stretches(const std::vector<HistoryRecord>& history) {
    std::vector<Stretch> stretches(1);
    for (const HistoryRecord& record : history) {
        if (record.kind == HistoryRecord::Kind::Step) {
            if (!stretches.back().empty()) {
                stretches.emplace_back();
            }
            continue;
        }
        stretches.back().push_back({record.unixSeconds, record.offsetSeconds});
    }
    std::erase_if(stretches, [](const Stretch& s) { return s.size() < 2; });
    return stretches;
}

double SpanOf(const Stretch& stretch) {
    const auto [first, last] =
        std::minmax_element(stretch.begin(), stretch.end(),
                            [](const Answer& a, const Answer& b) { return a.seconds < b.seconds; });
    return last->seconds - first->seconds;
}

double WeightedMedian(std::vector<Slope>& slopes) {
    std::sort(slopes.begin(), slopes.end(),
              [](const Slope& a, const Slope& b) { return a.value < b.value; });
    double total = 0;
    for (const Slope& s : slopes) {
        total += s.weight;
    }
    double below = 0;
    for (const Slope& s : slopes) {
        below += s.weight;
        if (below >= total / 2) {
            return s.value;
        }
    }
    return slopes.back().value;
}

// The rate shared by all stretches: the median of the slopes between every two answers of the
// same stretch (never across a step), each weighted by the time between its two answers. That is
// Theil-Sen with one intercept per stretch: a wild answer spoils only the pairs it is in, which
// the median passes over, and the weights let pairs far apart, whose slopes the answers' noise
// hardly touches, count for more than pairs close together. A longer or fuller stretch thus
// counts for more than a short one, as it should.
double PooledSlope(const std::vector<Stretch>& stretches, std::size_t stride) {
    std::vector<Slope> slopes;
    for (const Stretch& stretch : stretches) {
        for (std::size_t i = 0; i < stretch.size(); i += stride) {
            for (std::size_t j = i + stride; j < stretch.size(); j += stride) {
                const double apart = stretch[j].seconds - stretch[i].seconds;
                if (apart != 0) {
                    slopes.push_back(
                        {(stretch[j].offset - stretch[i].offset) / apart, std::abs(apart)});
                }
            }
        }
    }
    return slopes.empty() ? 0 : WeightedMedian(slopes);
}

double Median(std::vector<double> values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The stretch's line at the shared rate, through the median of its answers.
DriftLine LineOf(const Stretch& stretch, double slope) {
    const double origin = stretch.front().seconds;
    std::vector<double> intercepts;
    DriftLine line{origin, origin, 0, 0};
    for (const Answer& a : stretch) {
        intercepts.push_back(a.offset - slope * (a.seconds - origin));
        line.fromSeconds = std::min(line.fromSeconds, a.seconds);
        line.toSeconds = std::max(line.toSeconds, a.seconds);
    }
    const double intercept = Median(std::move(intercepts));
    line.fromOffset = intercept + slope * (line.fromSeconds - origin);
    line.toOffset = intercept + slope * (line.toSeconds - origin);
    return line;
}

}  // namespace

double DriftEstimate::SecondsToDriftOneSecond() const {
    return ppm == 0 ? std::numeric_limits<double>::infinity() : 1e6 / std::abs(ppm);
}

DriftEstimate EstimateDrift(const std::vector<HistoryRecord>& history) {
    const std::vector<Stretch> stretches = Stretches(history);
    DriftEstimate estimate;
    for (const Stretch& stretch : stretches) {
        estimate.answers += static_cast<int>(stretch.size());
        estimate.spanSeconds += SpanOf(stretch);
    }
    if (estimate.answers < kDriftMinAnswers || estimate.spanSeconds < kDriftMinSpanSeconds) {
        return estimate;
    }
    const std::size_t stride =
        (static_cast<std::size_t>(estimate.answers) + kMostFitted - 1) / kMostFitted;
    const double slope = PooledSlope(stretches, stride);
    estimate.known = true;
    // The offset is the servers' time minus the clock's: it falls as the clock gains.
    estimate.ppm = -slope * 1e6;
    for (const Stretch& stretch : stretches) {
        estimate.lines.push_back(LineOf(stretch, slope));
    }
    return estimate;
}

}  // namespace velmora
