#pragma once

#include <array>
#include <string>

#include "ui/common/HistoryPicture.h"

namespace velmora {

// What a thing of the History plot is drawn in; each toolkit makes its pen, brush or text colour
// of it.
enum class PlotInk { Text, Grid, ZeroLine, Step, OtherStep, Drift };

// The few drawing acts the History plot needs, in the painter's pixels, each toolkit's own.
class PlotDrawing {
  public:
    enum class Align { Centre, TopCentre, RightMiddle };

    virtual ~PlotDrawing() = default;
    virtual void Line(PlotInk ink, PlotPoint from, PlotPoint to) = 0;
    virtual void Frame(const PlotBox& box) = 0;
    // `text` starting at `at`, on its baseline.
    virtual void TextAt(PlotInk ink, PlotPoint at, const std::string& text) = 0;
    virtual void TextIn(const PlotBox& box, Align align, const std::string& text) = 0;
    // An answer: a dot, or a square when authenticated.
    virtual void Mark(PlotPoint at, bool authenticated) = 0;
    virtual void Triangle(const std::array<PlotPoint, 3>& corners, bool authenticated) = 0;
    // What is drawn after stays inside `box`; null lets it out again.
    virtual void Clip(const PlotBox* box) = 0;
    // A time tick's label, its date and time written the user's way.
    virtual std::string TimeLabel(const TimeTick& tick) const = 0;
};

// Paints `picture`, laid out for `canvas`, in the order it gives.
void PaintHistory(const HistoryPicture& picture, const PlotCanvas& canvas, PlotDrawing& drawing);

}  // namespace velmora
