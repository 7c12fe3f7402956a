#pragma once

#include <windows.h>

#include "ui/win32/HistoryFeed.h"

namespace velmora {

// Opens the History window over `owner` with the records of `history`, following new ones while
// it is open, or brings it to the front when it is open already. Not modal. (A stand-in that
// shows nothing, until the History window itself is here.)
void ShowHistoryWindow(HWND owner, HistoryFeed& history);

}  // namespace velmora
