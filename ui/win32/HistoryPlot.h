#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/HistoryStore.h"
#include "sync/DriftFit.h"
#include "ui/common/HistoryShown.h"
#include "ui/win32/OwnWindow.h"

namespace velmora {

// The History window's plot as a child window: laid out by ui/common, painted with GDI into an
// off-screen bitmap, with a tip on the answer the pointer rests on.
class THistoryPlot : public MessageHandler {
  public:
    THistoryPlot(HWND parent, int id);
    ~THistoryPlot() override;
    THistoryPlot(const THistoryPlot&) = delete;
    THistoryPlot& operator=(const THistoryPlot&) = delete;

    void SetHistory(std::vector<HistoryRecord> records, DriftEstimate drift);
    // The font of its words and the pixels of the screen per pixel at 96 dpi.
    void SetFont(HFONT font, double pixel);

    using Range = HistoryRange;
    const Range& Shown() const { return shown_.Range(); }
    HWND Handle() const { return window_.Handle(); }
    // The layout of what it shows at its present size.
    HistoryPicture Picture() const;
    // The tip of the answer nearest `point` (client pixels), or empty.
    std::string TipAt(POINT point) const;

    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint(HDC target);
    void Draw(HDC dc, const RECT& client) const;
    void MouseAt(POINT point);

    OwnWindow window_;
    HWND tip_ = nullptr;
    HFONT font_ = nullptr;
    double pixel_ = 1;
    HistoryShown shown_;
    // The answer whose tip shows, and its text while Windows asks for it.
    std::optional<std::size_t> tipAnswer_;
    std::wstring tipText_;
};

}  // namespace velmora
