#include "ui/common/HistoryPicture.h"

#include <algorithm>
#include <cmath>

#include "ui/common/HistoryLook.h"
#include "ui/common/HistoryTexts.h"

namespace velmora {
namespace {

bool AnyByOther(const std::vector<HistoryRecord>& records) {
    return std::any_of(records.begin(), records.end(), [](const HistoryRecord& record) {
        return record.kind == HistoryRecord::Kind::OtherStep;
    });
}

// Left of the plot the offsets' labels, above it the legend's rows and the caption, below it two
// lines of the times' labels.
PlotBox PlotArea(double left, int legendRows, const PlotCanvas& canvas,
                 const TextMeasure& measure) {
    const double px = canvas.pixel;
    const double top = (legendRows + 1) * measure.Height() + 10 * px;
    const double bottom = 2 * measure.Height() + 10 * px;
    return {left, top, std::max(10 * px, canvas.width - left - 14 * px),
            std::max(10 * px, canvas.height - top - bottom)};
}

std::vector<StepLine> Steps(const std::vector<HistoryRecord>& records, const HistoryScale& scale,
                            const TextMeasure& measure, double px) {
    std::vector<StepLine> steps;
    double labelEnd = -1e9;
    for (const HistoryRecord& record : records) {
        if (!record.IsStep()) {
            continue;
        }
        StepLine step;
        step.x = scale.X(record.unixSeconds);
        step.byOther = record.kind == HistoryRecord::Kind::OtherStep;
        step.label = SignedSecondsText(record.offsetSeconds, 3);
        step.labelAt = {step.x + 3 * px, scale.Area().top + measure.Ascent() + 2 * px};
        step.labelShown = step.labelAt.x > labelEnd;
        if (step.labelShown) {
            labelEnd = step.labelAt.x + measure.Width(step.label) + 6 * px;
        }
        steps.push_back(step);
    }
    return steps;
}

std::vector<AnswerMarkAt> Answers(const std::vector<HistoryRecord>& records,
                                  const HistoryScale& scale, double px) {
    const PlotBox& area = scale.Area();
    std::vector<AnswerMarkAt> answers;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].IsStep()) {
            continue;
        }
        AnswerMarkAt mark;
        mark.record = i;
        mark.authenticated = records[i].authenticated;
        mark.at = {scale.X(records[i].unixSeconds), scale.Y(records[i].offsetSeconds)};
        if (mark.at.y < area.top) {
            mark.place = AnswerMarkAt::Place::Above;
            mark.at.y = area.top + px;
        } else if (mark.at.y > area.Bottom()) {
            mark.place = AnswerMarkAt::Place::Below;
            mark.at.y = area.Bottom() - px;
        }
        answers.push_back(mark);
    }
    return answers;
}

}  // namespace

HistoryPicture LayOutHistory(const std::vector<HistoryRecord>& records, const DriftEstimate& drift,
                             const HistoryRange& range, const PlotCanvas& canvas,
                             const TextMeasure& measure, const LocalDays& days) {
    HistoryPicture picture;
    if (records.empty()) {
        return picture;
    }
    const double px = canvas.pixel;
    const double left = measure.Width("+00.000 s") + 12 * px;
    HistoryLegend legend(measure, left, std::max(left, canvas.width - 14 * px), AnyByOther(records),
                         px);
    legend.PlaceAt(4 * px);
    picture.empty = false;
    picture.legend = legend.Entries();
    picture.area = PlotArea(left, legend.Rows(), canvas, measure);
    picture.captionAt = {4 * px, picture.area.top - measure.Descent() - 4 * px};
    const HistoryScale scale(range, picture.area);
    picture.timeTicks = TimeTicks(scale, canvas.width, measure, days, px);
    picture.offsetTicks = OffsetTicks(scale, measure, px);
    picture.steps = Steps(records, scale, measure, px);
    for (const DriftLine& line : drift.lines) {
        picture.drift.push_back({{scale.X(line.fromSeconds), scale.Y(line.fromOffset)},
                                 {scale.X(line.toSeconds), scale.Y(line.toOffset)}});
    }
    picture.answers = Answers(records, scale, px);
    return picture;
}

std::array<PlotPoint, 3> BeyondTriangle(const AnswerMarkAt& mark, double pixel) {
    const double reach = 2.5 * kMark * pixel;
    const double base =
        mark.place == AnswerMarkAt::Place::Above ? mark.at.y + reach : mark.at.y - reach;
    const double half = 1.6 * kMark * pixel;
    return {{mark.at, {mark.at.x - half, base}, {mark.at.x + half, base}}};
}

std::optional<std::size_t> AnswerNear(const HistoryPicture& picture, PlotPoint point,
                                      double pixel) {
    std::optional<std::size_t> nearest;
    double best = kNearAnswer * pixel;
    for (const AnswerMarkAt& mark : picture.answers) {
        const double distance = std::hypot(mark.at.x - point.x, mark.at.y - point.y);
        if (distance <= best) {
            best = distance;
            nearest = mark.record;
        }
    }
    return nearest;
}

}  // namespace velmora
