#pragma once

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <shellapi.h>

namespace velmora {

// The shell's notification area as the tray icon speaks to it: each call hands it the whole
// record. Behind an interface so that a test sees what would be sent, without a shell.
class TrayShell {
  public:
    virtual ~TrayShell() = default;
    // NIM_ADD, NIM_MODIFY, NIM_DELETE or NIM_SETVERSION; true when the shell took it.
    virtual bool NotifyIcon(DWORD message, const NOTIFYICONDATAW& data) = 0;
};

// Shell_NotifyIconW.
class ShellNotifyIcon : public TrayShell {
  public:
    bool NotifyIcon(DWORD message, const NOTIFYICONDATAW& data) override;
};

}  // namespace velmora
