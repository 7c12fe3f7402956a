#pragma once

#include <QColor>
#include <QPen>
#include <QPointF>

#include "ui/common/HistoryLegend.h"
#include "ui/common/HistoryLook.h"

class QPainter;

namespace velmora {

// How the History window's plot and its legend draw each thing with QPainter.
inline QColor ColourOf(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// An answer: a dot, or a square when authenticated.
void DrawMark(QPainter& painter, const QPointF& at, bool authenticated);
// Our own steps dashed in red, another program's dotted in violet.
QPen StepPen(bool byOther);
QPen DriftPen();
// A legend entry's mark and its words in `text`.
void DrawLegendEntry(QPainter& painter, const LegendEntry& entry, const QColor& text);

}  // namespace velmora
