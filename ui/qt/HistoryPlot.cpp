#include "ui/qt/HistoryPlot.h"

#include "ui/qt/HistoryLegend.h"
#include "ui/qt/HistoryMarks.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {
namespace {

const QColor kGrid(228, 228, 228);
// How near the pointer must come to an answer's mark for its tip.
constexpr double kNear = 6.0;
// Times between two ticks across; the shortest that leaves room for the labels is taken.
constexpr double kTimeSteps[] = {
    60,    120,   300,   600,       900,       1800,       3600,       7200,       10800,
    21600, 43200, 86400, 2 * 86400, 7 * 86400, 14 * 86400, 28 * 86400, 91 * 86400, 364 * 86400};

bool IsAnswer(const HistoryRecord& record) {
    return record.kind == HistoryRecord::Kind::Answer;
}

bool ByOther(const HistoryRecord& record) {
    return record.kind == HistoryRecord::Kind::OtherStep;
}

QDateTime LocalTime(double seconds) {
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000));
}

double Seconds(const QDateTime& time) {
    return static_cast<double>(time.toMSecsSinceEpoch()) / 1000;
}

// 1, 2 or 5 times a power of ten, at least `raw`.
double NiceStep(double raw) {
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw) {
            return factor * power;
        }
    }
    return 10 * power;
}

// Far around the middle half of the offsets: an answer beyond it is drawn at the edge, so that one
// wild answer does not flatten all the others.
std::pair<double, double> Fence(std::vector<double> offsets) {
    std::sort(offsets.begin(), offsets.end());
    const double low = offsets[offsets.size() / 4];
    const double high = offsets[offsets.size() * 3 / 4];
    const double reach = 3 * std::max(high - low, 1e-3);
    return {low - reach, high + reach};
}

// The offsets to show: zero, the clock in step with the servers, always; the answers within the
// fence; and the fitted lines. A stretch after a big step lies beyond the fence, and is no wild
// answer: its line, which wild answers do not move, stays in view.
std::pair<double, double> OffsetsShown(const std::vector<double>& offsets,
                                       const std::vector<DriftLine>& lines) {
    double low = 0;
    double high = 0;
    if (!offsets.empty()) {
        const auto [lowest, highest] = Fence(offsets);
        for (double offset : offsets) {
            if (offset >= lowest && offset <= highest) {
                low = std::min(low, offset);
                high = std::max(high, offset);
            }
        }
    }
    for (const DriftLine& line : lines) {
        low = std::min({low, line.fromOffset, line.toOffset});
        high = std::max({high, line.fromOffset, line.toOffset});
    }
    return {low, high};
}

QString SignedSeconds(double seconds, int decimals) {
    const QString number = QLocale().toString(std::abs(seconds), 'f', decimals);
    return (seconds < 0 ? QChar(0x2212) : QChar('+')) + number + " s";
}

// An answer beyond the offsets shown: a small triangle at the edge, pointing the way it lies.
void DrawBeyond(QPainter& painter, double x, double edge, bool above, bool authenticated) {
    const double base = above ? edge + 2.5 * kMark : edge - 2.5 * kMark;
    painter.setPen(Qt::NoPen);
    painter.setBrush(authenticated ? kAuthenticatedColour : kPlainAnswerColour);
    painter.drawPolygon(QPolygonF(
        {QPointF(x, edge), QPointF(x - 1.6 * kMark, base), QPointF(x + 1.6 * kMark, base)}));
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
    records_ = std::move(records);
    drift_ = std::move(drift);
    FitRange();
    update();
}

void THistoryPlot::FitRange() {
    range_ = {};
    double from = std::numeric_limits<double>::infinity();
    double to = -from;
    std::vector<double> offsets;
    for (const HistoryRecord& record : records_) {
        from = std::min(from, record.unixSeconds);
        to = std::max(to, record.unixSeconds);
        if (IsAnswer(record)) {
            offsets.push_back(record.offsetSeconds);
        }
    }
    if (records_.empty()) {
        return;
    }
    if (to - from < 600) {
        from = (from + to) / 2 - 300;
        to = from + 600;
    }
    auto [low, high] = OffsetsShown(offsets, drift_.lines);
    if (high - low < 2e-3) {
        low = (low + high) / 2 - 1e-3;
        high = low + 2e-3;
    }
    const double across = (to - from) * 0.02;
    const double upward = (high - low) * 0.08;
    range_ = {from - across, to + across, low - upward, high + upward};
}

double THistoryPlot::PlotLeft() const {
    return QFontMetricsF(font()).horizontalAdvance("+00.000 s") + 12;
}

QRectF THistoryPlot::PlotArea() const {
    const QFontMetricsF metrics(font());
    const double left = PlotLeft();
    // The legend's rows and the axis's caption above it.
    const double top = (Legend().Rows() + 1) * metrics.height() + 10;
    const double bottom = 2 * metrics.height() + 10;
    return QRectF(left, top, std::max(10.0, width() - left - 14),
                  std::max(10.0, height() - top - bottom));
}

double THistoryPlot::X(double seconds) const {
    return area_.left() +
           (seconds - range_.fromSeconds) / (range_.toSeconds - range_.fromSeconds) * area_.width();
}

double THistoryPlot::Y(double offset) const {
    return area_.top() +
           (range_.highOffset - offset) / (range_.highOffset - range_.lowOffset) * area_.height();
}

void THistoryPlot::paintEvent(QPaintEvent*) {
    area_ = PlotArea();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (records_.empty()) {
        painter.drawText(rect(), Qt::AlignCenter,
                         "No answers yet: the history fills as time servers answer.");
        return;
    }
    DrawGrid(painter);
    DrawSteps(painter);
    DrawAnswers(painter);
    Legend().Draw(painter, 4, palette().color(QPalette::WindowText));
}

void THistoryPlot::DrawGrid(QPainter& painter) const {
    DrawTimeTicks(painter);
    DrawOffsetTicks(painter);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area_);
    const QFontMetricsF metrics(font());
    painter.drawText(QPointF(4, area_.top() - metrics.descent() - 4),
                     "Offset: the servers' time minus the computer clock");
}

void THistoryPlot::DrawTimeTicks(QPainter& painter) const {
    const QFontMetricsF metrics(font());
    const double room = metrics.horizontalAdvance("Wed 30 Sep") + 16;
    const double most = std::max(2.0, area_.width() / room);
    const double span = range_.toSeconds - range_.fromSeconds;
    double step = kTimeSteps[std::size(kTimeSteps) - 1];
    for (double candidate : kTimeSteps) {
        if (span / candidate <= most) {
            step = candidate;
            break;
        }
    }
    const QDateTime start = LocalTime(range_.fromSeconds).date().startOfDay();
    bool first = true;
    for (int k = 0;; ++k) {
        const QDateTime tick = step >= 86400 ? start.addDays(k * std::lround(step / 86400))
                                             : start.addSecs(k * std::llround(step));
        const double seconds = Seconds(tick);
        if (seconds > range_.toSeconds) {
            break;
        }
        if (seconds < range_.fromSeconds) {
            continue;
        }
        const double x = X(seconds);
        painter.setPen(kGrid);
        painter.drawLine(QPointF(x, area_.top()), QPointF(x, area_.bottom()));
        QString label = QLocale().toString(tick.date(), "ddd d MMM");
        if (step < 86400) {
            const bool newDay = first || tick.time() == QTime(0, 0);
            label = tick.toString("HH:mm") + (newDay ? "\n" + label : "");
        }
        first = false;
        painter.setPen(palette().color(QPalette::WindowText));
        // Kept whole at the window's edges.
        const double left = std::clamp(x - room / 2, 0.0, width() - room);
        const QRectF box(left, area_.bottom() + 4, room, 2 * metrics.height() + 2);
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, label);
    }
}

void THistoryPlot::DrawOffsetTicks(QPainter& painter) const {
    const QFontMetricsF metrics(font());
    const double span = range_.highOffset - range_.lowOffset;
    const double step = NiceStep(span / std::max(2.0, area_.height() / (2.5 * metrics.height())));
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    for (long k = std::lround(std::ceil(range_.lowOffset / step)); k * step <= range_.highOffset;
         ++k) {
        const double offset = static_cast<double>(k) * step;
        const double y = Y(offset);
        painter.setPen(k == 0 ? palette().color(QPalette::Mid) : kGrid);
        painter.drawLine(QPointF(area_.left(), y), QPointF(area_.right(), y));
        painter.setPen(palette().color(QPalette::WindowText));
        const QString label = k == 0 ? "0 s" : SignedSeconds(offset, decimals);
        painter.drawText(QRectF(0, y - metrics.height() / 2, area_.left() - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }
}

void THistoryPlot::DrawSteps(QPainter& painter) const {
    const QFontMetricsF metrics(font());
    double labelEnd = -1e9;
    for (const HistoryRecord& record : records_) {
        if (IsAnswer(record)) {
            continue;
        }
        const double x = X(record.unixSeconds);
        painter.setPen(StepPen(ByOther(record)));
        painter.drawLine(QPointF(x, area_.top()), QPointF(x, area_.bottom()));
        const QString label = SignedSeconds(record.offsetSeconds, 3);
        if (x + 3 > labelEnd) {
            painter.setPen(ByOther(record) ? kOtherStepColour : kStepColour);
            painter.drawText(QPointF(x + 3, area_.top() + metrics.ascent() + 2), label);
            labelEnd = x + 3 + metrics.horizontalAdvance(label) + 6;
        }
    }
}

void THistoryPlot::DrawAnswers(QPainter& painter) const {
    painter.save();
    painter.setClipRect(area_);
    painter.setPen(DriftPen());
    for (const DriftLine& line : drift_.lines) {
        painter.drawLine(QPointF(X(line.fromSeconds), Y(line.fromOffset)),
                         QPointF(X(line.toSeconds), Y(line.toOffset)));
    }
    painter.restore();
    for (const HistoryRecord& record : records_) {
        if (!IsAnswer(record)) {
            continue;
        }
        const double x = X(record.unixSeconds);
        const double y = Y(record.offsetSeconds);
        if (y < area_.top() || y > area_.bottom()) {
            const bool above = y < area_.top();
            DrawBeyond(painter, x, above ? area_.top() + 1 : area_.bottom() - 1, above,
                       record.authenticated);
        } else {
            DrawMark(painter, QPointF(x, y), record.authenticated);
        }
    }
}

HistoryLegend THistoryPlot::Legend() const {
    const double left = PlotLeft();
    return HistoryLegend(QFontMetricsF(font()), left, std::max(left, width() - 14.0),
                         std::any_of(records_.begin(), records_.end(), ByOther));
}

const HistoryRecord* THistoryPlot::AnswerAt(const QPointF& point) const {
    const HistoryRecord* nearest = nullptr;
    double best = kNear;
    for (const HistoryRecord& record : records_) {
        if (!IsAnswer(record)) {
            continue;
        }
        const double y = std::clamp(Y(record.offsetSeconds), area_.top(), area_.bottom());
        const double distance = std::hypot(X(record.unixSeconds) - point.x(), y - point.y());
        if (distance <= best) {
            best = distance;
            nearest = &record;
        }
    }
    return nearest;
}

bool THistoryPlot::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    area_ = PlotArea();
    const HistoryRecord* answer = AnswerAt(help->pos());
    if (answer == nullptr) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const QString when = QLocale().toString(LocalTime(answer->unixSeconds), "ddd d MMM HH:mm:ss");
    QToolTip::showText(help->globalPos(),
                       QString("%1, %2%3\noffset %4, round trip %5")
                           .arg(when, QString::fromStdString(answer->entry),
                                answer->authenticated ? ", authenticated" : "",
                                SignedSeconds(answer->offsetSeconds, 6),
                                QLocale().toString(answer->delaySeconds, 'f', 3) + " s"),
                       this);
    return true;
}

}  // namespace velmora
