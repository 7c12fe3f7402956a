#pragma once

#include <windows.h>

#include <memory>

#include "sync/DriftFit.h"
#include "ui/common/HistoryFeed.h"
#include "ui/win32/HistoryPlot.h"
#include "ui/win32/OwnWindow.h"

namespace velmora {

// The History window: the offsets of the answers over time with the steps of the clock, and the
// clock's drift in figures. A window of its own, not modal and resizable; it reads the history when
// it shows and again with every record kept while it is open. Closing it hides it; it never ends
// the program.
class THistoryWindow : public MessageHandler {
  public:
    enum ControlId : int { PlotId = 1201, SummaryLabelId, DriftLabelId, IntervalLabelId };

    THistoryWindow(HistoryFeed& history, HWND owner);
    ~THistoryWindow() override;
    THistoryWindow(const THistoryWindow&) = delete;
    THistoryWindow& operator=(const THistoryWindow&) = delete;

    // Shows it and reads the history; brings it to the front when it already shows.
    void Show();
    // Reads the history again and shows it.
    void Reload();
    HWND Handle() const { return window_.Handle(); }
    const DriftEstimate& Drift() const { return drift_; }
    const THistoryPlot& Plot() const { return *plot_; }

    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND SummaryLabel = nullptr;
    HWND DriftLabel = nullptr;
    HWND IntervalLabel = nullptr;

  private:
    void UseDpi(UINT dpi);
    void PlaceControls();
    SIZE OuterFor(SIZE plot) const;

    HistoryFeed& history_;
    OwnWindow window_;
    std::unique_ptr<THistoryPlot> plot_;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    int lineHeight_ = 0;
    DriftEstimate drift_;
    bool listening_ = true;
};

// The tray menu's "History...": the History window over `owner`, one for the program's life,
// made the first time.
void ShowHistoryWindow(HWND owner, HistoryFeed& history);

}  // namespace velmora
