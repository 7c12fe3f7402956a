#include "ui/common/HistoryLegend.h"

#include "ui/common/HistoryLook.h"

namespace velmora {
namespace {

// Between the end of one entry's words and the next entry's mark.
constexpr double kGap = 18;

}  // namespace

HistoryLegend::HistoryLegend(const TextMeasure& measure, double left, double right, bool otherSteps,
                             double pixel)
    : lineHeight_(measure.Height()), ascent_(measure.Ascent()), pixel_(pixel) {
    entries_ = {{HistoryMark::Answer, "answer"},
                {HistoryMark::Authenticated, "authenticated answer"},
                {HistoryMark::Step, "step of the clock"}};
    if (otherSteps) {
        entries_.push_back({HistoryMark::OtherStep, "step by another program"});
    }
    entries_.push_back({HistoryMark::Drift, "drift"});
    double x = left;
    int row = 0;
    for (LegendEntry& entry : entries_) {
        const double width = MarkWidth(entry.mark) + measure.Width(entry.words);
        if (x > left && x + width > right) {
            x = left;
            ++row;
        }
        entry.x = x;
        entry.row = row;
        x += width + kGap * pixel;
    }
    rows_ = row + 1;
}

double HistoryLegend::MarkWidth(HistoryMark mark) const {
    switch (mark) {
        case HistoryMark::Answer:
        case HistoryMark::Authenticated:
            return (2 * kMark + 5) * pixel_;
        case HistoryMark::Step:
        case HistoryMark::OtherStep:
            return 10 * pixel_;
        case HistoryMark::Drift:
            break;
    }
    return 23 * pixel_;
}

void HistoryLegend::PlaceAt(double top) {
    for (LegendEntry& entry : entries_) {
        const double y = top + lineHeight_ / 2 + entry.row * lineHeight_;
        switch (entry.mark) {
            case HistoryMark::Answer:
            case HistoryMark::Authenticated:
                entry.from = entry.to = {entry.x + kMark * pixel_, y};
                break;
            case HistoryMark::Step:
            case HistoryMark::OtherStep:
                entry.from = {entry.x + 3 * pixel_, y - 6 * pixel_};
                entry.to = {entry.x + 3 * pixel_, y + 6 * pixel_};
                break;
            case HistoryMark::Drift:
                entry.from = {entry.x, y};
                entry.to = {entry.x + 18 * pixel_, y};
                break;
        }
        entry.wordsAt = {entry.x + MarkWidth(entry.mark), y + ascent_ / 2 - pixel_};
    }
}

}  // namespace velmora
