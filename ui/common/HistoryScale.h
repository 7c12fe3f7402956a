#pragma once

#include "ui/common/HistoryRange.h"

namespace velmora {

// Pixels of the painter, x rightward and y downward from the plot's top left.
struct PlotPoint {
    double x = 0;
    double y = 0;
};

struct PlotBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
};

// Where a time and an offset of the range shown fall in the box they are drawn in.
class HistoryScale {
  public:
    HistoryScale(const HistoryRange& range, const PlotBox& area) : range_(range), area_(area) {}

    double X(double seconds) const;
    double Y(double offset) const;
    const HistoryRange& Range() const { return range_; }
    const PlotBox& Area() const { return area_; }

  private:
    HistoryRange range_;
    PlotBox area_;
};

}  // namespace velmora
