#include "ui/qt/HistoryPlot.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QToolTip>
#include <cmath>

#include "ui/common/HistoryLook.h"
#include "ui/common/HistoryPainter.h"
#include "ui/common/HistoryShown.h"
#include "ui/qt/HistoryCanvas.h"

namespace velmora {
namespace {

QDateTime LocalTime(double seconds) {
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000));
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QPointF ToQt(const PlotPoint& point) {
    return {point.x, point.y};
}

QRectF ToQt(const PlotBox& box) {
    return {box.left, box.top, box.width, box.height};
}

QColor ColourOf(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The plot drawn with QPainter, its words and frame in the palette's colours.
class QtPlotDrawing : public PlotDrawing {
  public:
    QtPlotDrawing(QPainter& painter, const QPalette& palette)
        : painter_(painter), palette_(palette) {}

    void Line(PlotInk ink, PlotPoint from, PlotPoint to) override {
        painter_.setPen(PenOf(ink));
        painter_.drawLine(ToQt(from), ToQt(to));
    }
    void Frame(const PlotBox& box) override {
        painter_.setPen(PenOf(PlotInk::Text));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(ToQt(box));
    }
    void TextAt(PlotInk ink, PlotPoint at, const std::string& text) override {
        // Words take the ink's colour, never its dashes.
        painter_.setPen(PenOf(ink).color());
        painter_.drawText(ToQt(at), Text(text));
    }
    void TextIn(const PlotBox& box, Align align, const std::string& text) override {
        static constexpr Qt::Alignment kFlags[] = {Qt::AlignCenter, Qt::AlignHCenter | Qt::AlignTop,
                                                   Qt::AlignRight | Qt::AlignVCenter};
        painter_.setPen(PenOf(PlotInk::Text));
        painter_.drawText(ToQt(box), static_cast<int>(kFlags[static_cast<int>(align)]), Text(text));
    }
    void Mark(PlotPoint at, bool authenticated) override {
        Fill(authenticated);
        if (authenticated) {
            painter_.drawRect(QRectF(at.x - kMark, at.y - kMark, 2 * kMark, 2 * kMark));
        } else {
            painter_.drawEllipse(ToQt(at), kMark, kMark);
        }
    }
    void Triangle(const std::array<PlotPoint, 3>& corners, bool authenticated) override {
        Fill(authenticated);
        painter_.drawPolygon(QPolygonF({ToQt(corners[0]), ToQt(corners[1]), ToQt(corners[2])}));
    }
    void Clip(const PlotBox* box) override {
        if (box == nullptr) {
            painter_.restore();
            return;
        }
        painter_.save();
        painter_.setClipRect(ToQt(*box));
    }
    std::string TimeLabel(const TimeTick& tick) const override {
        const QDateTime time = LocalTime(tick.seconds);
        return TimeTickLabel(tick, QLocale().toString(time.date(), "ddd d MMM").toStdString(),
                             time.toString("HH:mm").toStdString());
    }

  private:
    // Our own steps dashed in red, another program's dotted in violet.
    QPen PenOf(PlotInk ink) const {
        switch (ink) {
            case PlotInk::Text:
                return palette_.color(QPalette::WindowText);
            case PlotInk::Grid:
                return ColourOf(kGridColour);
            case PlotInk::ZeroLine:
                return palette_.color(QPalette::Mid);
            case PlotInk::Step:
                return QPen(ColourOf(kStepColour), kStepPenWidth, Qt::DashLine);
            case PlotInk::OtherStep:
                return QPen(ColourOf(kOtherStepColour), kStepPenWidth, Qt::DotLine);
            case PlotInk::Drift:
                return QPen(ColourOf(kDriftColour), kDriftPenWidth);
        }
        return {};
    }
    void Fill(bool authenticated) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(ColourOf(authenticated ? kAuthenticatedColour : kPlainAnswerColour));
    }

    QPainter& painter_;
    const QPalette& palette_;
};

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

PlotCanvas THistoryPlot::Canvas() const {
    return {static_cast<double>(width()), static_cast<double>(height()), 1};
}

HistoryPicture THistoryPlot::Picture() const {
    return shown_.LayOut(Canvas(), QtTextMeasure(font()), QtLocalDays());
}

void THistoryPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QtPlotDrawing drawing(painter, palette());
    PaintHistory(Picture(), Canvas(), drawing);
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
