#pragma once

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "ui/common/TrayIconRules.h"
#include "ui/win32/TrayShell.h"

namespace velmora {

// A list of equally sized icons, owned by a window; the tray icon copies one of them. It must
// outlive the tray icons it is given to, or be taken from them first.
class TImageList {
  public:
    explicit TImageList(int size = 16);
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    int Count() const;
    void Add(HICON image);
    // A copy of the image at `index`, the caller's to destroy; null when there is none.
    HICON GetIcon(int index) const;

  private:
    HIMAGELIST list_;
};

class TTrayIconHandler;

// The program's icon in the notification area (Shell_NotifyIconW, through TrayShell): its tip,
// its double click, its popup menu on the right button, the balloon, and the owner window's
// minimize to the tray. The notifications arrive at a hidden top-level window all icons share
// (TTrayIconHandler, which also hears the shell's "TaskbarCreated" and adds the visible icons
// again). The owner passes its messages through OwnerMessage first.
//
// Whether a tray is there is what the shell last answered: an icon it refused (no taskbar yet)
// comes with the next "TaskbarCreated", and until then the owner is never hidden, since no tray
// could give it back.
class TCoolTrayIcon : public TrayIconRules {
  public:
    // The callback message of the icon's notifications.
    static constexpr UINT kCallbackMessage = 0x0800;

    explicit TCoolTrayIcon(HWND owner,
                           std::unique_ptr<TrayShell> shell = std::make_unique<ShellNotifyIcon>());
    ~TCoolTrayIcon() override;
    TCoolTrayIcon(const TCoolTrayIcon&) = delete;
    TCoolTrayIcon& operator=(const TCoolTrayIcon&) = delete;

    // The menu opened at the pointer on right button down; not owned. Its items' WM_COMMAND go
    // to the owner.
    HMENU PopupMenu = nullptr;

    HICON Icon() const { return icon_; }
    // Takes a copy of `icon`.
    void SetIcon(HICON icon);
    TImageList* IconList() const { return iconList_; }
    void SetIconList(TImageList* list);

    // After the owner has set the properties and references: the icon is refreshed and put in
    // the tray (or kept out of it) once more, with everything in place, and the shell told to
    // send the notifications of its first version.
    void Loaded();

    bool AddToTray() override;
    bool RemoveFromTray() override;
    bool UpdateInTray() override;
    // Whether the shell shows the icon now, as far as its answers tell.
    bool TrayAvailable() const override { return inTray_; }

    // A balloon from the icon (NIF_INFO), with the warning sign; nothing without a tray.
    void ShowMessage(const std::string& title, const std::string& text) override;

    // The record as last handed to the shell (for tests and probes).
    const NOTIFYICONDATAW& NotifyData() const { return data_; }
    // The hidden window the notifications arrive at.
    HWND HandlerWindow() const;

    // Every message of the owner window, before the owner handles it.
    void OwnerMessage(UINT message, WPARAM w, LPARAM l);
    // The shell's notification for this icon (the callback message's lParam).
    void TrayMessage(UINT mouseMessage);
    // The shell's taskbar has been made again (Explorer restarted): a visible icon goes back.
    void TaskbarCreated();

    // "TaskbarCreated", registered.
    static UINT TaskbarCreatedMessage();

  private:
    bool HasOwner() const override { return owner_ != nullptr; }
    bool OwnerVisible() const override { return IsWindowVisible(owner_) != FALSE; }
    bool OwnerMinimized() const override { return IsIconic(owner_) != FALSE; }
    void ShowOwner() override;
    void HideOwner() override { ShowWindow(owner_, SW_HIDE); }
    int ImageCount() const override { return iconList_ != nullptr ? iconList_->Count() : 0; }
    void TakeImage(int index) override { ReplaceIcon(iconList_->GetIcon(index)); }
    void OpenTrayMenu() override;
    void RunDefaultItem() override;

    void FillNotifyData();
    bool Send(DWORD message);
    void ReplaceIcon(HICON owned);

    HWND owner_;
    std::unique_ptr<TrayShell> shell_;
    std::shared_ptr<TTrayIconHandler> handler_;
    UINT id_;
    NOTIFYICONDATAW data_{};
    HICON icon_ = nullptr;
    TImageList* iconList_ = nullptr;
    bool inTray_ = false;
};

}  // namespace velmora
