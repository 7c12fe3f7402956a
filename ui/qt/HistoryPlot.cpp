#include "ui/qt/HistoryPlot.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QToolTip>
#include <cmath>

#include "ui/common/HistoryShown.h"
#include "ui/common/HistoryTexts.h"
#include "ui/qt/HistoryCanvas.h"
#include "ui/qt/HistoryMarks.h"

namespace velmora {
namespace {

QPointF ToQt(const PlotPoint& point) {
    return {point.x, point.y};
}

QRectF ToQt(const PlotBox& box) {
    return {box.left, box.top, box.width, box.height};
}

QDateTime LocalTime(double seconds) {
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000));
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString TimeLabel(const TimeTick& tick) {
    const QDateTime time = LocalTime(tick.seconds);
    return Text(TimeTickLabel(tick, QLocale().toString(time.date(), "ddd d MMM").toStdString(),
                              time.toString("HH:mm").toStdString()));
}

}  // namespace

THistoryPlot::THistoryPlot(QWidget* parent) : QWidget(parent) {
    setObjectName("HistoryPlot");
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(420, 240);
}

QSize THistoryPlot::sizeHint() const {
    return {760, 400};
}

void THistoryPlot::SetHistory(std::vector<HistoryRecord> records, DriftEstimate drift) {
    shown_.Set(std::move(records), std::move(drift));
    update();
}

HistoryPicture THistoryPlot::Picture() const {
    const PlotCanvas canvas{static_cast<double>(width()), static_cast<double>(height()), 1};
    return shown_.LayOut(canvas, QtTextMeasure(font()), QtLocalDays());
}

void THistoryPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const HistoryPicture picture = Picture();
    if (picture.empty) {
        painter.drawText(rect(), Qt::AlignCenter, kNoHistoryText);
        return;
    }
    DrawGrid(painter, picture);
    DrawSteps(painter, picture);
    DrawAnswers(painter, picture);
    const QColor text = palette().color(QPalette::WindowText);
    for (const LegendEntry& entry : picture.legend) {
        DrawLegendEntry(painter, entry, text);
    }
}

void THistoryPlot::DrawGrid(QPainter& painter, const HistoryPicture& picture) const {
    DrawTimeTicks(painter, picture);
    DrawOffsetTicks(painter, picture);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(ToQt(picture.area));
    painter.drawText(ToQt(picture.captionAt), kOffsetCaption);
}

void THistoryPlot::DrawTimeTicks(QPainter& painter, const HistoryPicture& picture) const {
    for (const TimeTick& tick : picture.timeTicks) {
        painter.setPen(ColourOf(kGridColour));
        painter.drawLine(QPointF(tick.x, picture.area.top), QPointF(tick.x, picture.area.Bottom()));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(ToQt(tick.label), Qt::AlignHCenter | Qt::AlignTop, TimeLabel(tick));
    }
}

void THistoryPlot::DrawOffsetTicks(QPainter& painter, const HistoryPicture& picture) const {
    for (const OffsetTick& tick : picture.offsetTicks) {
        painter.setPen(tick.zero ? palette().color(QPalette::Mid) : ColourOf(kGridColour));
        painter.drawLine(QPointF(picture.area.left, tick.y), QPointF(picture.area.Right(), tick.y));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(ToQt(tick.labelBox), Qt::AlignRight | Qt::AlignVCenter, Text(tick.label));
    }
}

void THistoryPlot::DrawSteps(QPainter& painter, const HistoryPicture& picture) const {
    for (const StepLine& step : picture.steps) {
        painter.setPen(StepPen(step.byOther));
        painter.drawLine(QPointF(step.x, picture.area.top), QPointF(step.x, picture.area.Bottom()));
        if (step.labelShown) {
            painter.setPen(ColourOf(step.byOther ? kOtherStepColour : kStepColour));
            painter.drawText(ToQt(step.labelAt), Text(step.label));
        }
    }
}

void THistoryPlot::DrawAnswers(QPainter& painter, const HistoryPicture& picture) const {
    painter.save();
    painter.setClipRect(ToQt(picture.area));
    painter.setPen(DriftPen());
    for (const DriftSegment& line : picture.drift) {
        painter.drawLine(ToQt(line.from), ToQt(line.to));
    }
    painter.restore();
    for (const AnswerMarkAt& mark : picture.answers) {
        if (mark.place == AnswerMarkAt::Place::Inside) {
            DrawMark(painter, ToQt(mark.at), mark.authenticated);
            continue;
        }
        const auto corners = BeyondTriangle(mark, 1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ColourOf(mark.authenticated ? kAuthenticatedColour : kPlainAnswerColour));
        painter.drawPolygon(QPolygonF({ToQt(corners[0]), ToQt(corners[1]), ToQt(corners[2])}));
    }
}

bool THistoryPlot::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::string tip =
        shown_.TipAt(Picture(), {help->pos().x() * 1.0, help->pos().y() * 1.0}, 1, [](double at) {
            return QLocale().toString(LocalTime(at), "ddd d MMM HH:mm:ss").toStdString();
        });
    if (tip.empty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), Text(tip), this);
    return true;
}

}  // namespace velmora
