// The main window's messages: what Windows tells the form and how it answers.

#include <windows.h>

#include "ui/win32/Application.h"
#include "ui/win32/FormDrawing.h"
#include "ui/win32/MainHour.h"

namespace velmora {

LRESULT TTimeForm::Handle(HWND window, UINT message, WPARAM w, LPARAM l) {
    TrayIcon1.OwnerMessage(message, w, l);
    switch (message) {
        case WM_COMMAND:
            if (HandleCommand(LOWORD(w))) {
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
            if (busy_ && LOWORD(l) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_ACTIVATEAPP:
            if (w != FALSE) {
                ApplicationEvents1Activate();
            } else {
                ApplicationEvents1Deactivate();
            }
            return 0;
        case WM_ACTIVATE:
            Activated(LOWORD(w) != WA_INACTIVE);
            return 0;
        case WM_SHOWWINDOW:
            if (w != FALSE) {
                activeSinceShown_ = false;
                // Where no activation comes with the first showing, the display runs anyway.
                Controller.StartDisplayRefresh();
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            CommitData();
            return TRUE;
        case WM_ENDSESSION:
            EndSession(w != FALSE);
            return 0;
        case WM_TIMECHANGE:
            ClockWasSet();
            return 0;
        case WM_DPICHANGED:
            DpiChanged(LOWORD(w), *reinterpret_cast<const RECT*>(l));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

bool TTimeForm::HandleCommand(int id) {
    switch (id) {
        case kCheckTimeServerButtonId:
            Controller.CheckTimeServerButtonClick();
            return true;
        case kAdjustClockButtonId:
            Controller.AdjustClockButtonClick();
            return true;
        case kSpeedButton2Id:
            Controller.Options1Click();
            return true;
        case kSpeedButton3Id:
            SpeedButton3Click();
            return true;
        case kSpeedButton1Id:
            Exit2Click();
            return true;
        case kSynchronizecomputerclock1Id:
            Controller.Synchronizecomputerclock1Click();
            return true;
        case kRestoreprogram1Id:
            Restoreprogram1Click();
            return true;
        case kExitprogram1Id:
            Exitprogram1Click();
            return true;
        case kHistory1Id:
            History1Click();
            return true;
        default:
            return false;
    }
}

// Tab and Shift+Tab go from button to button and Space presses the one in focus, as in any
// dialog; Enter presses it too.
bool TTimeForm::KeyboardMessage(MSG& message) {
    const FormControl* control = MainHourControl(GetDlgCtrlID(message.hwnd));
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && control != nullptr &&
        control->kind == ControlKind::PictureButton && GetParent(message.hwnd) == Handle()) {
        SendMessageW(message.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

void TTimeForm::DrawItem(const DRAWITEMSTRUCT& item) {
    const FormControl* control = MainHourControl(static_cast<int>(item.CtlID));
    if (control == nullptr) {
        return;
    }
    if (control->kind == ControlKind::PictureButton) {
        DrawPictureButton(
            item, pictures_[static_cast<std::size_t>(item.CtlID) - kCheckTimeServerButtonId].get());
    } else if (control->id == kLocalPCEditId) {
        DrawClockField(item, GetSysColor(COLOR_DESKTOP));
    } else if (control->id == kTimeServerEditId) {
        DrawClockField(item, kServerFieldColour);
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
    activeSinceShown_ = true;
    SetFocus(focus_ != nullptr ? focus_ : Control(kCheckTimeServerButtonId));
}

// Closing the window ends the program, as the exit button does.
void TTimeForm::Close() {
    userEnded_ = true;
    PostQuitMessage(0);
}

// Windows may end the process any time once this returns: the settings are written first.
void TTimeForm::EndSession(bool ending) {
    if (ending) {
        FormDestroy();
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
