#pragma once

#include <QLabel>
#include <QWidget>

#include "sync/DriftFit.h"
#include "ui/common/HistoryFeed.h"
#include "ui/qt/HistoryPlot.h"

namespace velmora {

// The History window: the offsets of the answers over time with the steps of the clock, and the
// clock's drift in figures. A window of its own, not modal; it reads the history when it shows
// and again with every record kept while it is open.
class THistoryWindow : public QWidget {
    Q_OBJECT

  public:
    explicit THistoryWindow(HistoryFeed& history, QWidget* parent = nullptr);
    ~THistoryWindow() override;

    // Reads the history again and shows it.
    void Reload();
    const DriftEstimate& Drift() const { return drift_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    HistoryFeed& history_;
    DriftEstimate drift_;
    THistoryPlot* Plot;
    QLabel* SummaryLabel;
    QLabel* DriftLabel;
    QLabel* IntervalLabel;
};

}  // namespace velmora
