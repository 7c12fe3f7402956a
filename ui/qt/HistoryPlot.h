#pragma once

#include <QWidget>
#include <vector>

#include "platform/HistoryStore.h"
#include "sync/DriftFit.h"
#include "ui/common/HistoryShown.h"

namespace velmora {

// The offset of every answer against the date and time, authenticated answers told apart from
// plain ones, the steps of the clock as upright lines (another program's drawn apart from ours) and
// the fitted drift over each stretch between them. Laid out by ui/common, painted with QPainter:
// nothing to load before the window opens.
class THistoryPlot : public QWidget {
    Q_OBJECT

  public:
    explicit THistoryPlot(QWidget* parent = nullptr);

    void SetHistory(std::vector<HistoryRecord> records, DriftEstimate drift);

    using Range = HistoryRange;
    const Range& Shown() const { return shown_.Range(); }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    PlotCanvas Canvas() const;
    HistoryPicture Picture() const;

    HistoryShown shown_;
};

}  // namespace velmora
