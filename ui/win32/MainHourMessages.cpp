// The main window's messages: what Windows tells the form and how it answers.

#include <windows.h>

#include <string_view>
#include <utility>

#include "ui/win32/Application.h"
#include "ui/win32/FormDrawing.h"
#include "ui/win32/MainHour.h"

namespace velmora {

namespace {

// The windows Wine's X11 driver makes for an XEmbed tray (trayer and the like): the tray's own
// X window, holding the icons, and each icon's window in it. Docking an icon, ours just put in
// or another program's, gives them the X focus; the user has left nothing. Windows has no such
// windows, and its tray never takes the activation from the icon's program.
bool IsTrayHost(HWND window) {
    wchar_t name[32] = {};
    if (window == nullptr || GetClassNameW(window, name, 32) == 0) {
        return false;
    }
    const std::wstring_view found(name);
    return found == L"__wine_x11_foreign_window" || found == L"__winex11_tray_icon";
}

}  // namespace

LRESULT TTimeForm::Handle(HWND window, UINT message, WPARAM w, LPARAM l) {
    TrayIcon1.OwnerMessage(message, w, l);
    switch (message) {
        case kFinishStart:
            FinishStart();
            return 0;
        case WM_COMMAND:
            if (Presenter.Command(LOWORD(w))) {
                return 0;
            }
            break;
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            // The labels stand on the form's own face.
            SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_BTNFACE));
            SetTextColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_TIMER:
            if (w == UpdateTimer.Id()) {
                UpdateTimer.Tick();
            } else if (w == Timer1.Id()) {
                Timer1.Tick();
            }
            return 0;
        case WM_SETCURSOR:
            if (BusyCursor() && LOWORD(l) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_ACTIVATEAPP:
            if (w != FALSE) {
                Presenter.ApplicationEvents1Activate();
            } else if (std::exchange(takenByTray_, false) || IsTrayHost(GetForegroundWindow())) {
                // Nobody left the window: the activation comes back (see IsTrayHost).
                SetForegroundWindow(Handle());
            } else {
                Presenter.ApplicationEvents1Deactivate();
            }
            return 0;
        case WM_NCACTIVATE:
            // The first word of a deactivation: the tray may be gone from the foreground again
            // by the time the application hears of it.
            takenByTray_ = w == FALSE && IsTrayHost(GetForegroundWindow());
            break;
        case WM_ACTIVATE:
            Activated(LOWORD(w) != WA_INACTIVE);
            return 0;
        case WM_SHOWWINDOW:
            if (w != FALSE) {
                Presenter.Shown();
                // Where no activation comes with the first showing, the display runs anyway.
                Controller.StartDisplayRefresh();
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            Presenter.CommitData();
            return TRUE;
        case WM_ENDSESSION:
            EndSession(w != FALSE);
            return 0;
        case WM_TIMECHANGE:
            Presenter.ClockWasSet();
            return 0;
        case WM_DPICHANGED:
            DpiChanged(LOWORD(w), *reinterpret_cast<const RECT*>(l));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

// Tab and Shift+Tab go from button to button and Space presses the one in focus, as in any
// dialog; Enter presses it too.
bool TTimeForm::KeyboardMessage(MSG& message) {
    const ControlDescription* control = MainHourFormDescription().Find(GetDlgCtrlID(message.hwnd));
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && control != nullptr &&
        control->kind == ControlKind::PictureButton && GetParent(message.hwnd) == Handle()) {
        SendMessageW(message.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

void TTimeForm::DrawItem(const DRAWITEMSTRUCT& item) {
    const ControlDescription* control =
        MainHourFormDescription().Find(static_cast<int>(item.CtlID));
    if (control == nullptr) {
        return;
    }
    if (control->kind == ControlKind::PictureButton) {
        DrawPictureButton(
            item, pictures_[static_cast<std::size_t>(item.CtlID) - kCheckTimeServerButtonId].get());
    } else if (control->id == kLocalPCEditId) {
        DrawClockField(item, GetSysColor(COLOR_DESKTOP));
    } else if (control->id == kTimeServerEditId) {
        // Green, as designed.
        DrawClockField(item, RGB(0, 128, 0));
    }
}

// The keyboard's focus leaves with the window and comes back to the control that had it, the
// first button the first time.
void TTimeForm::Activated(bool active) {
    if (!active) {
        const HWND focus = GetFocus();
        focus_ = focus != nullptr && IsChild(Handle(), focus) ? focus : focus_;
        return;
    }
    Presenter.BecameActive();
    SetFocus(focus_ != nullptr ? focus_ : Control(kCheckTimeServerButtonId));
}

// Closing the window ends the program, as the exit button does.
void TTimeForm::Close() {
    Presenter.UserEnds();
    EndProgram();
}

// Windows may end the process any time once this returns: the settings are written first.
void TTimeForm::EndSession(bool ending) {
    if (ending) {
        Presenter.FormDestroy();
    }
}

void TTimeForm::DpiChanged(UINT dpi, const RECT& suggested) {
    ApplyDpi(dpi);
    const SIZE size = WindowSize();
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
    InvalidateRect(Handle(), nullptr, TRUE);
}

}  // namespace velmora
