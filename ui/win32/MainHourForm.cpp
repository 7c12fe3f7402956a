#include "ui/win32/MainHourForm.h"

#include <commctrl.h>

#include "platform/windows/WideText.h"
#include "ui/common/FormTexts.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/ResourceIds.h"

namespace velmora {

namespace {

using Kind = ControlKind;

constexpr std::array<FormControl, 11> kControls = {{
    {"CheckTimeServerButton", kCheckTimeServerButtonId, Kind::PictureButton, 2, 0, 62, 73,
     VELMORA_IDB_GETTIME},
    {"AdjustClockButton", kAdjustClockButtonId, Kind::PictureButton, 64, 0, 62, 73,
     VELMORA_IDB_ADJUST},
    {"SpeedButton2", kSpeedButton2Id, Kind::PictureButton, 126, 0, 62, 73, VELMORA_IDB_PROPERTIES},
    {"SpeedButton3", kSpeedButton3Id, Kind::PictureButton, 188, 0, 62, 73, VELMORA_IDB_HELP},
    {"SpeedButton1", kSpeedButton1Id, Kind::PictureButton, 250, 0, 62, 73, VELMORA_IDB_EXIT},
    {"Bevel1", kBevel1Id, Kind::Bevel, 0, 80, 313, 2, 0},
    {"Label1", kLabel1Id, Kind::Label, 2, 88, 146, 14, 0},
    {"Label2", kLabel2Id, Kind::Label, 167, 88, 146, 14, 0},
    {"LocalPCEdit", kLocalPCEditId, Kind::ClockField, 2, 104, 145, 17, 0},
    {"TimeServerEdit", kTimeServerEditId, Kind::ClockField, 167, 104, 145, 17, 0},
    {"StatusBar1", kStatusBar1Id, Kind::StatusBar, 0, 132, 315, 19, 0},
}};

const wchar_t* ClassOf(Kind kind) {
    switch (kind) {
        case Kind::PictureButton:
            return WC_BUTTONW;
        case Kind::StatusBar:
            return STATUSCLASSNAMEW;
        default:
            return WC_STATICW;
    }
}

DWORD StyleOf(Kind kind) {
    switch (kind) {
        case Kind::PictureButton:
            // Drawn by the form: the picture carries the caption.
            return BS_OWNERDRAW | WS_TABSTOP;
        case Kind::Bevel:
            return SS_ETCHEDHORZ;
        case Kind::Label:
            return SS_LEFT | SS_NOPREFIX;
        case Kind::ClockField:
            // SS_NOTIFY: the field hears the mouse, for its status text and its tooltip.
            return SS_OWNERDRAW | SS_NOTIFY;
        case Kind::StatusBar:
            // One simple panel, where the form puts it, no size grip.
            return CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    }
    return 0;
}

std::wstring TextOf(const FormControl& control) {
    switch (control.id) {
        case kLabel1Id:
            return L"Current time";
        case kLabel2Id:
            return L"Atomic clock time";
        default:
            // A picture button says in words what its picture shows: its name to a screen
            // reader.
            return Widen(ButtonCaptionOf(control.name));
    }
}

}  // namespace

const std::array<FormControl, 11>& MainHourControls() {
    return kControls;
}

const FormControl* MainHourControl(int id) {
    for (const FormControl& control : kControls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

void CreateMainHourControls(HWND form) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const FormControl& control : kControls) {
        const HWND made = CreateWindowExW(
            0, ClassOf(control.kind), TextOf(control).c_str(),
            WS_CHILD | WS_VISIBLE | StyleOf(control.kind), 0, 0, 0, 0, form,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        if (control.kind == Kind::StatusBar) {
            SendMessageW(made, SB_SIMPLE, TRUE, 0);
        }
    }
}

void LayOutMainHour(HWND form, UINT dpi, HFONT font) {
    for (const FormControl& control : kControls) {
        const HWND child = GetDlgItem(form, control.id);
        MoveWindow(child, Scaled(control.left, dpi), Scaled(control.top, dpi),
                   Scaled(control.width, dpi), Scaled(control.height, dpi), TRUE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

}  // namespace velmora
