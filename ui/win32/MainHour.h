#pragma once

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "sync/SyncController.h"
#include "ui/common/HistoryFeed.h"
#include "ui/common/MainHourForm.h"
#include "ui/common/MainHourPresenter.h"
#include "ui/common/MainWindowView.h"
#include "ui/win32/Application.h"
#include "ui/win32/CoolTrayIcon.h"
#include "ui/win32/GdiObject.h"
#include "ui/win32/OwnWindow.h"
#include "ui/win32/ThreadWorker.h"
#include "ui/win32/WindowTimer.h"

namespace velmora {

// The main window: five picture buttons, the two clock fields, the status line and the tray
// icon with its menu. It shows what the controller tells it and forwards every action.
//
// How to find its parts from outside (tests, the e2e scripts):
// - the window: class "TTimeForm", title "Velmora" (FindWindowW(L"TTimeForm", L"Velmora"));
// - its controls: children with the ids of ui/common/MainHourForm.h (GetDlgItem): the picture
// buttons are
//   "Button"s whose window text is their caption ("Get time", "Adjust time", "Properties",
//   "Help", "Exit"); Label1 and Label2 "Static"s with the captions; the clock fields
//   LocalPCEdit and TimeServerEdit owner-drawn "Static"s whose window text is the time shown;
//   StatusBar1 a "msctls_statusbar32" in simple mode (SB_GETTEXTW of part 0);
// - the server field's tooltip: the "tooltips_class32" window owned by the form (TTM_GETTEXTW
//   for the field, whose record and buffer must lie in the program's own memory);
// - the tray icon: a hidden top-level window of class "TTrayIconHandler" gets its notifications,
//   message 0x0800 with wParam 1 and the mouse message in lParam (WM_LBUTTONDBLCLK restores,
//   WM_RBUTTONDOWN opens the menu at the pointer); "TaskbarCreated" sent to it adds the icon
//   again;
// - the tray menu's items: WM_COMMAND to the form with the ids of ui/common/MainHourForm.h.
class TTimeForm : public MainWindowView, private MessageHandler {
  public:
    // Runs FormCreate before returning; the window is not shown yet (see ShowAtStart).
    explicit TTimeForm(PlatformServices services,
                       std::unique_ptr<TrayShell> shell = std::make_unique<ShellNotifyIcon>());
    // Saves the settings (FormDestroy) unless that already happened.
    ~TTimeForm() override;
    TTimeForm(const TTimeForm&) = delete;
    TTimeForm& operator=(const TTimeForm&) = delete;

    HWND Handle() const { return window_.Handle(); }
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }

    void SetWindowMinimized() override;
    void SetWindowNormal() override;
    std::string StatusText() const;
    // The server field's tooltip: the status lines whole, and the tooltip control showing it
    // (made once the window is drawn).
    std::string ServerFieldTip() const;
    HWND Tooltip() const { return tooltip_; }

    // Shows the window as start-up left it, or as the program was started (`showCommand`, the
    // entry's): normal, or minimized (into the tray when there is one). A window shown normal
    // makes the field's tooltip and puts its icon in the tray once drawn, from its message loop.
    void ShowAtStart(int showCommand);
    // The window's rules: the save policy on every way out, bringing it to the front, the clock
    // set, activation.
    MainHourPresenter& Rules() { return Presenter; }

    // Whether a query or a clock setting is still under way on the worker.
    bool WorkRunning() const { return Work.Busy(); }
    TCoolTrayIcon& TrayIcon() { return TrayIcon1; }
    HMENU TrayMenu() const { return PopupMenu1.get(); }
    const WindowTimer& DisplayTimer() const { return UpdateTimer; }
    UINT Dpi() const { return dpi_; }

  private:
    // Posted to the window itself once it is first drawn: FinishStart.
    static constexpr UINT kFinishStart = WM_APP + 1;

    LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l) override;
    std::string ControlText(int id) const override;
    void SetControlText(int id, const std::string& text) override;
    void SetServerFieldTip(const std::string& text) override;
    void ShowBusyCursor(bool on) override;
    const TrayIconRules& Tray() const override { return TrayIcon1; }
    void ShowHelp() override;
    void ShowHistory() override;
    void EndProgram() override;
    void CloseWindow() override;
    bool ModalOpen() const override;
    bool AskYesNo(const std::string& question) override;
    bool KeyboardMessage(MSG& message);
    void DrawItem(const DRAWITEMSTRUCT& item);
    void Activated(bool active);
    void EndSession(bool ending);
    void Close();
    void DpiChanged(UINT dpi, const RECT& suggested);

    void SetUpWindow();
    void SetUpControls();
    void SetUpTooltip();
    void SetUpTrayIcon();
    // What the first drawing does not need: the server field's tooltip and the icon in the
    // tray, with its menu. Once.
    void FinishStart();
    void ApplyTooltipDpi();
    // Fonts and places at `dpi`; the window's size to match.
    void ApplyDpi(UINT dpi);
    SIZE WindowSize() const;
    void FitClientArea();
    void DestroyOwnedWindows();

    OwnWindow window_;
    WindowTimer UpdateTimer{false, 500};
    WindowTimer Timer1{false, 0};
    TImageList ImageList1;
    MenuHandle PopupMenu1;
    TCoolTrayIcon TrayIcon1;
    ThreadWorker Work;
    // Before the controller, which keeps its records through it.
    HistoryFeed HistoryFeed1;
    SyncController Controller;
    MainHourPresenter Presenter{
        *this, Controller, {TApplication::Guarded, TApplication::GuardedUnattended}};

    UINT dpi_ = 96;
    GdiObject<HFONT> font_;
    std::array<GdiObject<HBITMAP>, 5> pictures_;
    HWND tooltip_ = nullptr;
    std::wstring tipText_;
    HWND focus_ = nullptr;
    // Whether an XEmbed tray took the activation that is being taken from the window.
    bool takenByTray_ = false;
    bool startMinimized_ = false;
};

}  // namespace velmora
