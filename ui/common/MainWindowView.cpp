#include "ui/common/MainWindowView.h"

#include <utility>

#include "ui/common/MainHourForm.h"
#include "ui/common/TrayTip.h"

namespace velmora {

void MainWindowView::SetLocalTimeText(const std::string& text) {
    SetControlText(kLocalPCEditId, text);
}

void MainWindowView::SetServerTimeText(const std::string& text) {
    SetControlText(kTimeServerEditId, text);
}

std::string MainWindowView::ServerTimeText() const {
    return ControlText(kTimeServerEditId);
}

void MainWindowView::SetTimeCaptions(const std::string& localCaption,
                                     const std::string& serverCaption) {
    // Only a change is set: each setting repaints the label, twice a second.
    for (const auto& [id, caption] :
         {std::pair{kLabel1Id, &localCaption}, std::pair{kLabel2Id, &serverCaption}}) {
        if (ControlText(id) != *caption) {
            SetControlText(id, *caption);
        }
    }
}

void MainWindowView::SetBusyCursor(bool on) {
    if (on == busy_) {
        return;
    }
    busy_ = on;
    ShowBusyCursor(on);
}

void MainWindowView::SetTimeStatus(const std::vector<std::string>& lines) {
    const std::string text = LinesText(lines);
    SetServerFieldTip(text);
    Tray().SetTipDetails(text);
}

void MainWindowView::SetStatusText(const std::string& text) {
    SetControlText(kStatusBar1Id, text);
}

}  // namespace velmora
