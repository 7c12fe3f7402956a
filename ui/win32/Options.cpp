#include "ui/win32/Options.h"

namespace velmora {

TOptionsForm::TOptionsForm(HWND) {}

void TOptionsForm::LoadOptions(bool minimizeOnStart, bool autorun, bool tryNextServer,
                               const std::string& serverList) {
    minimize_ = minimizeOnStart;
    autorun_ = autorun;
    tryNext_ = tryNextServer;
    servers_ = serverList;
}

void TOptionsForm::ReadOptions(bool& minimizeOnStart, bool& autorun, bool& tryNextServer,
                               std::string& serverList) const {
    minimizeOnStart = minimize_;
    autorun = autorun_;
    tryNextServer = tryNext_;
    serverList = servers_;
}

void TOptionsForm::ShowModal() {}

}  // namespace velmora
