#include "ui/qt/HistoryMarks.h"

#include <QPainter>

namespace velmora {

void DrawMark(QPainter& painter, const QPointF& at, bool authenticated) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(authenticated ? kAuthenticatedColour : kPlainAnswerColour);
    if (authenticated) {
        painter.drawRect(QRectF(at.x() - kMark, at.y() - kMark, 2 * kMark, 2 * kMark));
    } else {
        painter.drawEllipse(at, kMark, kMark);
    }
}

QPen StepPen(bool byOther) {
    return byOther ? QPen(kOtherStepColour, 1.5, Qt::DotLine)
                   : QPen(kStepColour, 1.5, Qt::DashLine);
}

QPen DriftPen() {
    return QPen(kDriftColour, 2);
}

}  // namespace velmora
