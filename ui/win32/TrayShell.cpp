#include "ui/win32/TrayShell.h"

namespace velmora {

bool ShellNotifyIcon::NotifyIcon(DWORD message, const NOTIFYICONDATAW& data) {
    // The shell takes the record by a pointer to non-const, but only reads it.
    NOTIFYICONDATAW copy = data;
    return Shell_NotifyIconW(message, &copy) != FALSE;
}

}  // namespace velmora
