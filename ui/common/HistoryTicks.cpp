#include "ui/common/HistoryTicks.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "ui/common/HistoryTexts.h"

namespace velmora {
namespace {

constexpr double kTimeSteps[] = {
    60,    120,   300,   600,       900,       1800,       3600,       7200,       10800,
    21600, 43200, 86400, 2 * 86400, 7 * 86400, 14 * 86400, 28 * 86400, 91 * 86400, 364 * 86400};
// The most ticks a broken calendar could make the axis loop through.
constexpr int kMostTicks = 5000;

// 1, 2 or 5 times a power of ten, at least `raw`.
double NiceStep(double raw) {
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw) {
            return factor * power;
        }
    }
    return 10 * power;
}

double TimeStep(double span, double most) {
    for (double candidate : kTimeSteps) {
        if (span / candidate <= most) {
            return candidate;
        }
    }
    return kTimeSteps[std::size(kTimeSteps) - 1];
}

}  // namespace

std::vector<TimeTick> TimeTicks(const HistoryScale& scale, double windowWidth,
                                const TextMeasure& measure, const LocalDays& days, double pixel) {
    const HistoryRange& range = scale.Range();
    const PlotBox& area = scale.Area();
    const double room = measure.Width("Wed 30 Sep") + 16 * pixel;
    const double step =
        TimeStep(range.toSeconds - range.fromSeconds, std::max(2.0, area.width / room));
    const double start = days.StartOfDay(range.fromSeconds);
    std::vector<TimeTick> ticks;
    for (int k = 0; k < kMostTicks; ++k) {
        const double seconds = step >= 86400
                                   ? days.DaysLater(start, k * static_cast<int>(step / 86400))
                                   : start + k * step;
        if (seconds > range.toSeconds) {
            break;
        }
        if (seconds < range.fromSeconds) {
            continue;
        }
        TimeTick tick;
        tick.seconds = seconds;
        tick.x = scale.X(seconds);
        tick.withTime = step < 86400;
        tick.withDate = !tick.withTime || ticks.empty() || days.StartOfDay(seconds) == seconds;
        const double left = std::max(0.0, std::min(tick.x - room / 2, windowWidth - room));
        tick.label = {left, area.Bottom() + 4 * pixel, room, 2 * measure.Height() + 2 * pixel};
        ticks.push_back(tick);
    }
    return ticks;
}

std::vector<OffsetTick> OffsetTicks(const HistoryScale& scale, const TextMeasure& measure,
                                    double pixel) {
    const HistoryRange& range = scale.Range();
    const PlotBox& area = scale.Area();
    const double span = range.highOffset - range.lowOffset;
    const double step = NiceStep(span / std::max(2.0, area.height / (2.5 * measure.Height())));
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    std::vector<OffsetTick> ticks;
    for (long k = std::lround(std::ceil(range.lowOffset / step));
         static_cast<double>(k) * step <= range.highOffset; ++k) {
        OffsetTick tick;
        tick.offset = static_cast<double>(k) * step;
        tick.y = scale.Y(tick.offset);
        tick.zero = k == 0;
        tick.label = tick.zero ? "0 s" : SignedSecondsText(tick.offset, decimals);
        tick.labelBox = {0, tick.y - measure.Height() / 2, area.left - 6 * pixel, measure.Height()};
        ticks.push_back(tick);
    }
    return ticks;
}

}  // namespace velmora
