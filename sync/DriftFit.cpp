#include "sync/DriftFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sync/DriftStretches.h"

namespace velmora {
namespace {

struct Slope {
    double value;
    double weight;
};

// Beyond this many pairs of answers the stretches are thinned: the pairs grow with the square of
// the answers.
constexpr std::size_t kMostPairs = 180000;

std::size_t Pairs(std::size_t points) {
    return points * (points - 1) / 2;
}

// The most points each stretch keeps for the pairs to stay within bounds. Every stretch keeps two
// at least: a short one is never thinned away to nothing.
std::size_t MostPointsEach(const std::vector<DriftStretch>& stretches) {
    const auto pairs = [&stretches](std::size_t most) {
        std::size_t total = 0;
        for (const DriftStretch& s : stretches) {
            total += Pairs(std::min(s.points.size(), most));
        }
        return total;
    };
    std::size_t low = 2;
    std::size_t high = 2;
    for (const DriftStretch& s : stretches) {
        high = std::max(high, s.points.size());
    }
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (pairs(middle) <= kMostPairs) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

// `most` of the points, evenly spread, the first and the last among them.
std::vector<DriftPoint> Thinned(const std::vector<DriftPoint>& points, std::size_t most) {
    if (points.size() <= most) {
        return points;
    }
    std::vector<DriftPoint> kept;
    for (std::size_t k = 0; k < most; ++k) {
        kept.push_back(points[k * (points.size() - 1) / (most - 1)]);
    }
    return kept;
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

// The rate shared by all stretches: the median of the slopes between every two points of the
// same stretch, each weighted by the time between its two points. A step is crossed only by the
// answer carried over it, whose offset the step's size tells. That is Theil-Sen with one
// intercept per stretch: a wild answer spoils only the pairs it is in, which the median passes
// over, and the weights let pairs far apart, whose slopes the answers' noise hardly touches,
// count for more than pairs close together. A longer or fuller stretch thus counts for more than
// a short one, as it should.
double PooledSlope(const std::vector<DriftStretch>& stretches) {
    const std::size_t most = MostPointsEach(stretches);
    std::vector<Slope> slopes;
    for (const DriftStretch& stretch : stretches) {
        const std::vector<DriftPoint> points = Thinned(stretch.points, most);
        for (std::size_t i = 0; i < points.size(); ++i) {
            for (std::size_t j = i + 1; j < points.size(); ++j) {
                const double apart = points[j].seconds - points[i].seconds;
                if (apart != 0) {
                    slopes.push_back(
                        {(points[j].offset - points[i].offset) / apart, std::abs(apart)});
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

std::pair<double, double> TimesOf(const DriftStretch& stretch) {
    const auto [first, last] = std::minmax_element(
        stretch.points.begin(), stretch.points.end(),
        [](const DriftPoint& a, const DriftPoint& b) { return a.seconds < b.seconds; });
    return {first->seconds, last->seconds};
}

// The stretch's line at the shared rate, through the median of its points; from the step that
// began it, when it was carried over one, to its last answer.
DriftLine LineOf(const DriftStretch& stretch, double slope) {
    const double origin = stretch.points.front().seconds;
    std::vector<double> intercepts;
    for (const DriftPoint& p : stretch.points) {
        intercepts.push_back(p.offset - slope * (p.seconds - origin));
    }
    const double intercept = Median(std::move(intercepts));
    auto [from, to] = TimesOf(stretch);
    if (stretch.steps > 0) {
        from = std::clamp(stretch.steppedAt, from, to);
    }
    return {from, to, intercept + slope * (from - origin), intercept + slope * (to - origin)};
}

// How many answers the stretches hold; an answer carried into the next stretch counts once.
int AnswersIn(const std::vector<DriftStretch>& stretches, std::size_t records) {
    std::vector<bool> used(records, false);
    int answers = 0;
    for (const DriftStretch& stretch : stretches) {
        for (const DriftPoint& p : stretch.points) {
            answers += used[p.answer] ? 0 : 1;
            used[p.answer] = true;
        }
    }
    return answers;
}

}  // namespace

double DriftEstimate::SecondsToDriftOneSecond() const {
    return ppm == 0 ? std::numeric_limits<double>::infinity() : 1e6 / std::abs(ppm);
}

DriftEstimate EstimateDrift(const std::vector<HistoryRecord>& history) {
    const std::vector<DriftStretch> stretches = DriftStretches(history);
    DriftEstimate estimate;
    estimate.answers = AnswersIn(stretches, history.size());
    for (const DriftStretch& stretch : stretches) {
        const auto [from, to] = TimesOf(stretch);
        estimate.spanSeconds += to - from;
        estimate.steps += stretch.steps;
    }
    if (estimate.answers < kDriftMinAnswers || estimate.spanSeconds < kDriftMinSpanSeconds) {
        return estimate;
    }
    const double slope = PooledSlope(stretches);
    estimate.known = true;
    // The offset is the servers' time minus the clock's: it falls as the clock gains.
    estimate.ppm = -slope * 1e6;
    for (const DriftStretch& stretch : stretches) {
        estimate.lines.push_back(LineOf(stretch, slope));
    }
    return estimate;
}

}  // namespace velmora
