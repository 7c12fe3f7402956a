#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/HistoryStore.h"
#include "sync/DriftFit.h"
#include "ui/common/HistoryLegend.h"
#include "ui/common/HistoryRange.h"
#include "ui/common/HistoryTicks.h"

namespace velmora {

// What the History plot is painted on: its size in the painter's pixels, and how many of them
// make a pixel of a 96 dpi screen.
struct PlotCanvas {
    double width = 0;
    double height = 0;
    double pixel = 1;
};

// A step of the clock, an upright line through the plot; its size is written beside it at the
// top when the label before leaves room.
struct StepLine {
    double x = 0;
    bool byOther = false;
    std::string label;
    bool labelShown = false;
    PlotPoint labelAt;  // the start of the label, on its baseline
};

// An answer's mark: inside the plot at its place, or, beyond the offsets shown, a small triangle
// at the edge pointing the way it lies.
struct AnswerMarkAt {
    enum class Place { Inside, Above, Below };
    Place place = Place::Inside;
    PlotPoint at;  // the centre, or the triangle's tip on the edge
    bool authenticated = false;
    std::size_t record = 0;  // into the records laid out
};

struct DriftSegment {
    PlotPoint from;
    PlotPoint to;
};

// Everything the plot draws and where, for one size of the plot. The painter paints it in this
// order: grid (ticks), the frame of `area` and the caption, steps, the drift lines clipped to
// `area`, the answers, the legend.
struct HistoryPicture {
    bool empty = true;
    PlotBox area;
    PlotPoint captionAt;  // the start of kOffsetCaption, on its baseline
    std::vector<LegendEntry> legend;
    std::vector<TimeTick> timeTicks;
    std::vector<OffsetTick> offsetTicks;
    std::vector<StepLine> steps;
    std::vector<DriftSegment> drift;
    std::vector<AnswerMarkAt> answers;
};

HistoryPicture LayOutHistory(const std::vector<HistoryRecord>& records, const DriftEstimate& drift,
                             const HistoryRange& range, const PlotCanvas& canvas,
                             const TextMeasure& measure, const LocalDays& days);

// The corners of the triangle of an answer beyond the offsets shown.
std::array<PlotPoint, 3> BeyondTriangle(const AnswerMarkAt& mark, double pixel);

// The record of the answer drawn nearest `point`, if one is within a few pixels of it.
std::optional<std::size_t> AnswerNear(const HistoryPicture& picture, PlotPoint point, double pixel);

}  // namespace velmora
