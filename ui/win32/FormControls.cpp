#include "ui/win32/FormControls.h"

#include <commctrl.h>
#include <richedit.h>

#include "platform/windows/WideText.h"
#include "ui/common/OptionsFields.h"
#include "ui/win32/Dpi.h"

namespace velmora {

namespace {

using Kind = ControlKind;

constexpr DWORD kTabGroup = WS_TABSTOP | WS_GROUP;

// Msftedit (RichEdit 4.1) where Windows has it, as every Windows since XP does; Riched20 else.
// Loaded on first use and kept: the class must outlive every window of it.
const wchar_t* RichEditClass() {
    static const wchar_t* const name = [] {
        if (LoadLibraryW(L"Msftedit.dll") != nullptr) {
            return MSFTEDIT_CLASS;
        }
        LoadLibraryW(L"Riched20.dll");
        return RICHEDIT_CLASSW;
    }();
    return name;
}

const wchar_t* ClassOf(Kind kind) {
    switch (kind) {
        case Kind::Edit:
        case Kind::DigitsEdit:
        case Kind::Memo:
            return WC_EDITW;
        case Kind::DropDownList:
            return WC_COMBOBOXW;
        case Kind::StatusBar:
            return STATUSCLASSNAMEW;
        case Kind::RichText:
            return RichEditClass();
        case Kind::Bevel:
        case Kind::Label:
        case Kind::ClockField:
        case Kind::Panel:
            return WC_STATICW;
        default:
            return WC_BUTTONW;
    }
}

// A radio button after another of its group neither starts a group nor is a tab stop of its own.
DWORD RadioStyle(bool followsRadio) {
    return BS_AUTORADIOBUTTON | (followsRadio ? 0 : kTabGroup);
}

DWORD StyleOf(Kind kind, bool followsRadio) {
    switch (kind) {
        case Kind::DefaultButton:
            return BS_DEFPUSHBUTTON | kTabGroup;
        case Kind::PushButton:
        case Kind::CancelButton:
            return BS_PUSHBUTTON | kTabGroup;
        // Drawn by the form: the picture carries the caption.
        case Kind::PictureButton:
            return BS_OWNERDRAW | WS_TABSTOP;
        case Kind::GroupBox:
            return BS_GROUPBOX | WS_GROUP;
        // Drawn by the form, under the controls that lie over it.
        case Kind::Panel:
            return SS_OWNERDRAW | WS_CLIPSIBLINGS;
        case Kind::Bevel:
            return SS_ETCHEDHORZ;
        case Kind::Label:
            return SS_LEFT | SS_NOPREFIX;
        // SS_NOTIFY: the field hears the mouse, for its status text and its tooltip.
        case Kind::ClockField:
            return SS_OWNERDRAW | SS_NOTIFY;
        case Kind::CheckBox:
            return BS_AUTOCHECKBOX | kTabGroup;
        case Kind::RadioButton:
            return RadioStyle(followsRadio);
        case Kind::Edit:
        case Kind::DigitsEdit:
            return ES_AUTOHSCROLL | kTabGroup;
        case Kind::Memo:
            return ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | kTabGroup;
        case Kind::DropDownList:
            return CBS_DROPDOWNLIST | WS_VSCROLL | kTabGroup;
        // One simple panel, where the form puts it, no size grip.
        case Kind::StatusBar:
            return CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
        case Kind::RichText:
            return ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_DISABLENOSCROLL | WS_VSCROLL |
                   WS_TABSTOP;
    }
    return 0;
}

DWORD ExStyleOf(Kind kind) {
    switch (kind) {
        case Kind::Edit:
        case Kind::DigitsEdit:
        case Kind::Memo:
        case Kind::RichText:
            return WS_EX_CLIENTEDGE;
        default:
            return 0;
    }
}

// Typed characters reach a digits field only as digits; Backspace and the edit shortcuts pass,
// and pasted text is left to whoever reads the field.
LRESULT CALLBACK DigitKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                           DWORD_PTR) {
    if (message == WM_CHAR && !IntervalFieldTakes(static_cast<char32_t>(wParam))) {
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, DigitKeys, id);
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

// What a kind needs once its window is there.
void Finish(HWND made, const ControlDescription& control) {
    switch (control.kind) {
        case Kind::DigitsEdit:
            SetWindowSubclass(made, DigitKeys, 1, 0);
            [[fallthrough]];
        case Kind::Edit:
            if (control.limit > 0) {
                SendMessageW(made, EM_SETLIMITTEXT, static_cast<WPARAM>(control.limit), 0);
            }
            break;
        case Kind::DropDownList:
            for (const char* item : control.items) {
                SendMessageW(made, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
            }
            SendMessageW(made, CB_SETCURSEL, 0, 0);
            break;
        case Kind::StatusBar:
            SendMessageW(made, SB_SIMPLE, TRUE, 0);
            break;
        default:
            break;
    }
}

ControlPlace ScaledPlace(const FormDescription& form, const ControlDescription& control, UINT dpi) {
    const ControlPlace place = form.PlaceInForm(control);
    return {Scaled(place.left, dpi), Scaled(place.top, dpi), Scaled(place.width, dpi),
            Scaled(place.height, dpi)};
}

}  // namespace

void CreateFormControls(HWND window, const FormDescription& form, UINT dpi, HFONT font) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    bool followsRadio = false;
    for (const ControlDescription& control : form.controls) {
        // Made where they belong: each move of a child afterwards is one more trip to the window
        // server before the first drawing.
        const ControlPlace at = ScaledPlace(form, control, dpi);
        // A rich edit takes the width its text wraps at from its size as it is made, before its
        // edge and scroll bar are there (Wine's does): it is made empty, then sized, and wraps
        // inside them. An etched line takes a static edge as it is made, and grows by it.
        const bool sizedAfter = control.kind == Kind::RichText || control.kind == Kind::Bevel;
        const bool empty = control.kind == Kind::RichText;
        const HWND made = CreateWindowExW(
            ExStyleOf(control.kind), ClassOf(control.kind), Widen(control.caption).c_str(),
            WS_CHILD | WS_VISIBLE | StyleOf(control.kind, followsRadio), at.left, at.top,
            empty ? 0 : at.width, empty ? 0 : at.height, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        if (sizedAfter) {
            MoveWindow(made, at.left, at.top, at.width, at.height, FALSE);
        }
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        Finish(made, control);
        followsRadio = control.kind == Kind::RadioButton;
    }
}

void LayOutFormControls(HWND window, const FormDescription& form, UINT dpi, HFONT font) {
    for (const ControlDescription& control : form.controls) {
        const HWND child = GetDlgItem(window, control.id);
        const ControlPlace at = ScaledPlace(form, control, dpi);
        MoveWindow(child, at.left, at.top, at.width, at.height, TRUE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

}  // namespace velmora
