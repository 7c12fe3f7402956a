#include "ui/common/HistoryPainter.h"

#include "ui/common/HistoryTexts.h"

namespace velmora {
namespace {

using Align = PlotDrawing::Align;

void PaintGrid(const HistoryPicture& picture, PlotDrawing& drawing) {
    const PlotBox& area = picture.area;
    for (const TimeTick& tick : picture.timeTicks) {
        drawing.Line(PlotInk::Grid, {tick.x, area.top}, {tick.x, area.Bottom()});
        drawing.TextIn(tick.label, Align::TopCentre, drawing.TimeLabel(tick));
    }
    for (const OffsetTick& tick : picture.offsetTicks) {
        drawing.Line(tick.zero ? PlotInk::ZeroLine : PlotInk::Grid, {area.left, tick.y},
                     {area.Right(), tick.y});
        drawing.TextIn(tick.labelBox, Align::RightMiddle, tick.label);
    }
    drawing.Frame(area);
    drawing.TextAt(PlotInk::Text, picture.captionAt, kOffsetCaption);
}

void PaintSteps(const HistoryPicture& picture, PlotDrawing& drawing) {
    for (const StepLine& step : picture.steps) {
        const PlotInk ink = step.byOther ? PlotInk::OtherStep : PlotInk::Step;
        drawing.Line(ink, {step.x, picture.area.top}, {step.x, picture.area.Bottom()});
        if (step.labelShown) {
            drawing.TextAt(ink, step.labelAt, step.label);
        }
    }
}

void PaintAnswers(const HistoryPicture& picture, double pixel, PlotDrawing& drawing) {
    drawing.Clip(&picture.area);
    for (const DriftSegment& line : picture.drift) {
        drawing.Line(PlotInk::Drift, line.from, line.to);
    }
    drawing.Clip(nullptr);
    for (const AnswerMarkAt& mark : picture.answers) {
        if (mark.place == AnswerMarkAt::Place::Inside) {
            drawing.Mark(mark.at, mark.authenticated);
        } else {
            drawing.Triangle(BeyondTriangle(mark, pixel), mark.authenticated);
        }
    }
}

void PaintLegend(const HistoryPicture& picture, PlotDrawing& drawing) {
    for (const LegendEntry& entry : picture.legend) {
        const HistoryMark mark = entry.mark;
        if (mark == HistoryMark::Answer || mark == HistoryMark::Authenticated) {
            drawing.Mark(entry.from, mark == HistoryMark::Authenticated);
        } else {
            const PlotInk ink = mark == HistoryMark::Drift  ? PlotInk::Drift
                                : mark == HistoryMark::Step ? PlotInk::Step
                                                            : PlotInk::OtherStep;
            drawing.Line(ink, entry.from, entry.to);
        }
        drawing.TextAt(PlotInk::Text, entry.wordsAt, entry.words);
    }
}

}  // namespace

void PaintHistory(const HistoryPicture& picture, const PlotCanvas& canvas, PlotDrawing& drawing) {
    if (picture.empty) {
        drawing.TextIn({0, 0, canvas.width, canvas.height}, Align::Centre, kNoHistoryText);
        return;
    }
    PaintGrid(picture, drawing);
    PaintSteps(picture, drawing);
    PaintAnswers(picture, canvas.pixel, drawing);
    PaintLegend(picture, drawing);
}

}  // namespace velmora
