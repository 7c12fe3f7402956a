#pragma once

#include <QRectF>
#include <QWidget>
#include <vector>

#include "platform/HistoryStore.h"
#include "sync/DriftFit.h"
#include "ui/qt/HistoryLegend.h"

class QPainter;

namespace velmora {

// The offset of every answer against the date and time, authenticated answers told apart from
// plain ones, the steps of the clock as upright lines (another program's drawn apart from ours) and
// the fitted drift over each stretch between them. Drawn with QPainter: nothing to load before the
// window opens.
class THistoryPlot : public QWidget {
    Q_OBJECT

  public:
    explicit THistoryPlot(QWidget* parent = nullptr);

    void SetHistory(std::vector<HistoryRecord> records, DriftEstimate drift);

    // What is shown: seconds since 1970 across, offset seconds upward.
    struct Range {
        double fromSeconds = 0;
        double toSeconds = 0;
        double lowOffset = 0;
        double highOffset = 0;
    };
    const Range& Shown() const { return range_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // Where the axes are, left of and below the labels; kept in area_ for one painting.
    QRectF PlotArea() const;
    double PlotLeft() const;
    HistoryLegend Legend() const;
    double X(double seconds) const;
    double Y(double offset) const;
    void FitRange();
    void DrawGrid(QPainter& painter) const;
    void DrawTimeTicks(QPainter& painter) const;
    void DrawOffsetTicks(QPainter& painter) const;
    void DrawSteps(QPainter& painter) const;
    void DrawAnswers(QPainter& painter) const;
    // The answer drawn nearest `point`, within a few pixels, or null.
    const HistoryRecord* AnswerAt(const QPointF& point) const;

    std::vector<HistoryRecord> records_;
    DriftEstimate drift_;
    Range range_;
    QRectF area_;
};

}  // namespace velmora
