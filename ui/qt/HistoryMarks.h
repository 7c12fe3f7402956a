#pragma once

#include <QColor>
#include <QPen>
#include <QPointF>

class QPainter;

namespace velmora {

// How the History window's plot and its legend draw each thing.
inline const QColor kPlainAnswerColour(31, 94, 196);
inline const QColor kAuthenticatedColour(0, 140, 70);
inline const QColor kStepColour(200, 30, 30);
inline const QColor kOtherStepColour(130, 60, 180);
inline const QColor kDriftColour(230, 120, 0);
// Half the width of an answer's mark.
inline constexpr double kMark = 3.0;

// An answer: a dot, or a square when authenticated.
void DrawMark(QPainter& painter, const QPointF& at, bool authenticated);
// Our own steps dashed in red, another program's dotted in violet.
QPen StepPen(bool byOther);
QPen DriftPen();

}  // namespace velmora
