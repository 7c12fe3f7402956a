#include "ui/win32/help.h"

namespace velmora {

void ShowHelp(HWND) {}

}  // namespace velmora
