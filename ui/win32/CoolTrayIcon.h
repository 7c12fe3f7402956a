#pragma once

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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
class TCoolTrayIcon {
  public:
    // The callback message of the icon's notifications.
    static constexpr UINT kCallbackMessage = 0x0800;
    // The shell takes 127 characters of tip, 63 of balloon title and 255 of balloon text.
    static constexpr std::size_t kMaxTip = 127;

    explicit TCoolTrayIcon(HWND owner,
                           std::unique_ptr<TrayShell> shell = std::make_unique<ShellNotifyIcon>());
    virtual ~TCoolTrayIcon();
    TCoolTrayIcon(const TCoolTrayIcon&) = delete;
    TCoolTrayIcon& operator=(const TCoolTrayIcon&) = delete;

    // When false, every mouse action on the icon is ignored.
    bool Enabled = true;
    // The menu opened at the pointer on right button down; not owned. Its items' WM_COMMAND go
    // to the owner.
    HMENU PopupMenu = nullptr;
    bool MinimizeToTray = false;
    // Raised with the component as sender on a double click; unassigned = not raised.
    std::function<void(TCoolTrayIcon* sender)> OnDblClick;
    // Milliseconds; kept only, icons never cycle here.
    std::uint32_t CycleInterval = 0;

    HICON Icon() const { return icon_; }
    // Takes a copy of `icon`.
    void SetIcon(HICON icon);
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool visible);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    TImageList* IconList() const { return iconList_; }
    void SetIconList(TImageList* list);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);

    // After the owner has set the properties and references: the icon is refreshed and put in
    // the tray (or kept out of it) once more, with everything in place, and the shell told to
    // send the notifications of its first version.
    void Loaded();

    // Each returns whether the shell took the call; nobody needs to look.
    virtual bool AddToTray();
    virtual bool RemoveFromTray();
    virtual bool UpdateInTray();

    void RestoreMainWindow();
    // Hides the owner into the tray, when there is one.
    void HideMainWindow();
    void HideAppButton();

    // What the time shown is worth, one line each: the tip shows them after the hint.
    void SetTipDetails(const std::string& details);
    // A balloon from the icon (NIF_INFO), with the warning sign; nothing without a tray.
    void ShowMessage(const std::string& title, const std::string& text);

    // The tip handed to the shell: the tray tip (ui/common/TrayTip.h) cut to the shell's 127
    // characters, never in the middle of a character.
    std::wstring TipText() const;
    // Whether the shell shows the icon now, as far as its answers tell.
    bool TrayAvailable() const { return inTray_; }
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

  protected:
    virtual void FireDblClick();
    virtual void SendToTray();

  private:
    void FillNotifyData();
    bool Send(DWORD message);
    void OpenTrayMenu();
    void RunDefaultItem();
    void ReplaceIcon(HICON owned);

    HWND owner_;
    std::unique_ptr<TrayShell> shell_;
    std::shared_ptr<TTrayIconHandler> handler_;
    UINT id_;
    NOTIFYICONDATAW data_{};
    HICON icon_ = nullptr;
    bool iconVisible_ = false;
    std::string hint_;
    bool showHint_ = true;
    std::string tipDetails_;
    TImageList* iconList_ = nullptr;
    int iconIndex_ = 0;
    bool inTray_ = false;
    // The owner went into the tray and has not been shown since.
    bool hiddenInTray_ = false;
};

// The tip as TCoolTrayIcon::TipText makes it.
std::wstring TrayTipText(const std::string& hint, bool showHint, const std::string& details);
// `text` cut to `units` UTF-16 units, never leaving half of a surrogate pair at the end.
std::wstring CutToUnits(std::wstring text, std::size_t units);

}  // namespace velmora
