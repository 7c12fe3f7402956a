#include "ui/win32/HistoryWindow.h"

namespace velmora {

void ShowHistoryWindow(HWND, HistoryFeed&) {}

}  // namespace velmora
