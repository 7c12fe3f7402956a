#include "ui/qt/HistoryMarks.h"

#include <QPainter>

namespace velmora {
namespace {

QPointF ToQt(const PlotPoint& point) {
    return {point.x, point.y};
}

}  // namespace

void DrawMark(QPainter& painter, const QPointF& at, bool authenticated) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ColourOf(authenticated ? kAuthenticatedColour : kPlainAnswerColour));
    if (authenticated) {
        painter.drawRect(QRectF(at.x() - kMark, at.y() - kMark, 2 * kMark, 2 * kMark));
    } else {
        painter.drawEllipse(at, kMark, kMark);
    }
}

QPen StepPen(bool byOther) {
    return byOther ? QPen(ColourOf(kOtherStepColour), kStepPenWidth, Qt::DotLine)
                   : QPen(ColourOf(kStepColour), kStepPenWidth, Qt::DashLine);
}

QPen DriftPen() {
    return QPen(ColourOf(kDriftColour), kDriftPenWidth);
}

void DrawLegendEntry(QPainter& painter, const LegendEntry& entry, const QColor& text) {
    switch (entry.mark) {
        case HistoryMark::Answer:
        case HistoryMark::Authenticated:
            DrawMark(painter, ToQt(entry.from), entry.mark == HistoryMark::Authenticated);
            break;
        case HistoryMark::Step:
        case HistoryMark::OtherStep:
            painter.setPen(StepPen(entry.mark == HistoryMark::OtherStep));
            painter.drawLine(ToQt(entry.from), ToQt(entry.to));
            break;
        case HistoryMark::Drift:
            painter.setPen(DriftPen());
            painter.drawLine(ToQt(entry.from), ToQt(entry.to));
            break;
    }
    painter.setPen(text);
    painter.drawText(ToQt(entry.wordsAt), QString::fromStdString(entry.words));
}

}  // namespace velmora
