#pragma once

#include <windows.h>

namespace velmora {

// Shows the help window modally over `owner` and returns when it closes; a new window for every
// showing. (A stand-in that shows nothing, until the help window itself is here.)
void ShowHelp(HWND owner);

}  // namespace velmora
