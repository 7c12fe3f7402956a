#pragma once

#include <string>
#include <vector>

#include "ui/common/HistoryScale.h"
#include "ui/common/TextMeasure.h"

namespace velmora {

// The local calendar the time axis steps through, as the front end's toolkit knows the zone.
class LocalDays {
  public:
    virtual ~LocalDays() = default;
    // The start of the local day that `seconds` (since 1970, UTC) falls in.
    virtual double StartOfDay(double seconds) const = 0;
    // The start of the local day `days` after the one that starts at `dayStart`.
    virtual double DaysLater(double dayStart, int days) const = 0;
};

// A time across, with an upright grid line and a label under the plot: the time of day over the
// date when the ticks are less than a day apart (the date only under the first tick and each
// midnight), else the date alone.
struct TimeTick {
    double seconds = 0;
    double x = 0;
    bool withTime = false;
    bool withDate = true;
    // Its label, centred at the top of this box, whole within the window.
    PlotBox label;
};

// An offset upward, with a level grid line (zero's darker) and its label left of the plot.
struct OffsetTick {
    double offset = 0;
    double y = 0;
    bool zero = false;
    std::string label;
    // Its label, right-aligned and centred upright in this box.
    PlotBox labelBox;
};

// The times between two ticks across: the shortest step that leaves room for the labels, from a
// minute to a year, at local midnights from a day on. `windowWidth` keeps the labels within the
// window; `pixel` is the painter's pixels per pixel of a 96 dpi screen.
std::vector<TimeTick> TimeTicks(const HistoryScale& scale, double windowWidth,
                                const TextMeasure& measure, const LocalDays& days, double pixel);

// The offsets at 1, 2 or 5 times a power of ten, a few lines of text apart.
std::vector<OffsetTick> OffsetTicks(const HistoryScale& scale, const TextMeasure& measure,
                                    double pixel);

}  // namespace velmora
