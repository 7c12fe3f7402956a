#include "ui/qt/HistoryLegend.h"

#include <QPainter>

#include "ui/qt/HistoryMarks.h"

namespace velmora {
namespace {

// Between the end of one entry's words and the next entry's mark.
constexpr double kGap = 18;

}  // namespace

HistoryLegend::HistoryLegend(const QFontMetricsF& metrics, double left, double right,
                             bool otherSteps)
    : metrics_(metrics) {
    entries_ = {{Mark::Answer, "answer"},
                {Mark::Authenticated, "authenticated answer"},
                {Mark::Step, "step of the clock"}};
    if (otherSteps) {
        entries_.push_back({Mark::OtherStep, "step by another program"});
    }
    entries_.push_back({Mark::Drift, "drift"});
    double x = left;
    int row = 0;
    for (Entry& entry : entries_) {
        const double width = MarkWidth(entry.mark) + metrics.horizontalAdvance(entry.words);
        if (x > left && x + width > right) {
            x = left;
            ++row;
        }
        entry.x = x;
        entry.row = row;
        x += width + kGap;
    }
    rows_ = row + 1;
}

double HistoryLegend::MarkWidth(Mark mark) {
    switch (mark) {
        case Mark::Answer:
        case Mark::Authenticated:
            return 2 * kMark + 5;
        case Mark::Step:
        case Mark::OtherStep:
            return 10;
        case Mark::Drift:
            break;
    }
    return 23;
}

void HistoryLegend::DrawMarkOf(QPainter& painter, Mark mark, const QPointF& at) {
    switch (mark) {
        case Mark::Answer:
        case Mark::Authenticated:
            DrawMark(painter, at + QPointF(kMark, 0), mark == Mark::Authenticated);
            return;
        case Mark::Step:
        case Mark::OtherStep:
            painter.setPen(StepPen(mark == Mark::OtherStep));
            painter.drawLine(at + QPointF(3, -6), at + QPointF(3, 6));
            return;
        case Mark::Drift:
            painter.setPen(DriftPen());
            painter.drawLine(at, at + QPointF(18, 0));
            return;
    }
}

void HistoryLegend::Draw(QPainter& painter, double top, const QColor& text) const {
    for (const Entry& entry : entries_) {
        const double y = top + metrics_.height() / 2 + entry.row * metrics_.height();
        DrawMarkOf(painter, entry.mark, QPointF(entry.x, y));
        painter.setPen(text);
        painter.drawText(QPointF(entry.x + MarkWidth(entry.mark), y + metrics_.ascent() / 2 - 1),
                         entry.words);
    }
}

}  // namespace velmora
