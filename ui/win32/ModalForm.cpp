#include "ui/win32/ModalForm.h"

#include <algorithm>
#include <string>

#include "platform/windows/WideText.h"
#include "ui/win32/Application.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FormControls.h"
#include "ui/win32/FormFont.h"
#include "ui/win32/ScreenPlace.h"

namespace velmora {
namespace {

// A dialog template without controls: style, no menu, the dialog class, the caption; DWORD
// aligned, as Windows wants it.
std::vector<DWORD> EmptyTemplate(DWORD style, const std::wstring& caption) {
    DLGTEMPLATE head{};
    head.style = style;
    std::vector<WORD> words(sizeof head / sizeof(WORD));
    std::copy_n(reinterpret_cast<const WORD*>(&head), words.size(), words.begin());
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    words.insert(words.end(), caption.begin(), caption.end());
    words.push_back(0);
    std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
    std::copy(words.begin(), words.end(), reinterpret_cast<WORD*>(aligned.data()));
    return aligned;
}

}  // namespace

ModalForm::ModalForm(HWND owner, const FormDescription& form, DWORD style)
    : owner_(owner), form_(form), height_(form.height) {
    const std::vector<DWORD> made =
        EmptyTemplate(WS_POPUP | WS_CAPTION | DS_MODALFRAME | style, Widen(form.caption));
    hwnd_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                       reinterpret_cast<const DLGTEMPLATE*>(made.data()), owner,
                                       DialogProc, reinterpret_cast<LPARAM>(this));
    UseDpi(WindowDpi(hwnd_));
}

ModalForm::~ModalForm() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

int ModalForm::Scaled(int pixels) const {
    return velmora::Scaled(pixels, dpi_);
}

void ModalForm::CreateControls() {
    CreateFormControls(hwnd_, form_, dpi_, font_);
}

void ModalForm::PlaceControls() {
    LayOutFormControls(hwnd_, form_, dpi_, font_);
}

void ModalForm::UseDpi(UINT dpi) {
    dpi_ = dpi;
    const HFONT old = font_;
    font_ = CreateFormFont(dpi);
    if (old != nullptr) {
        DeleteObject(old);
    }
    FitClient();
    PlaceControls();
}

void ModalForm::SetClientHeight(int height) {
    height_ = height;
    if (hwnd_ != nullptr) {
        FitClient();
    }
}

void ModalForm::FitClient() {
    const RECT outer =
        WindowRectForClient({0, 0, Scaled(form_.width), Scaled(height_)},
                            static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                            static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Centred over the owner where it shows, else on the screen; whole on its monitor either way.
void ModalForm::PlaceOverOwner() {
    RECT own{};
    const bool over = owner_ != nullptr && IsWindowVisible(owner_) && !IsIconic(owner_) &&
                      GetWindowRect(owner_, &own);
    const RECT area = WorkAreaOf(over ? owner_ : hwnd_);
    if (!over) {
        own = area;
    }
    RECT mine{};
    GetWindowRect(hwnd_, &mine);
    const POINT at = CentredIn(own, SIZE{mine.right - mine.left, mine.bottom - mine.top}, area);
    SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalForm::ShowModal() {
    if (hwnd_ == nullptr || shown_) {
        return;
    }
    PlaceOverOwner();
    OnShow();
    shown_ = true;
    const bool ownerWasEnabled = owner_ != nullptr && IsWindowEnabled(owner_);
    if (ownerWasEnabled) {
        EnableWindow(owner_, FALSE);
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    OnShown();
    RunLoop();
    // The owner first, so that it is the window activated when this one goes.
    if (ownerWasEnabled && IsWindow(owner_)) {
        EnableWindow(owner_, TRUE);
    }
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, SW_HIDE);
    }
    shown_ = false;
}

void ModalForm::RunLoop() {
    MSG message{};
    while (shown_ && hwnd_ != nullptr) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the loop outside hears of it too.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1) {
            return;
        }
        if (PreTranslate(message) || IsDialogMessageW(hwnd_, &message)) {
            continue;
        }
        TApplication::Dispatch(message);
    }
}

void ModalForm::Close() {
    shown_ = false;
    // Wakes the loop up should it be waiting.
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

bool ModalForm::OnCommand(int id, int) {
    if (id == IDCANCEL) {
        Close();
        return true;
    }
    return false;
}

bool ModalForm::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}

INT_PTR ModalForm::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (OnMessage(message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_CLOSE:
            OnCommand(IDCANCEL, BN_CLICKED);
            return TRUE;
        case WM_DPICHANGED:
            UseDpi(HIWORD(wParam));
            return TRUE;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            shown_ = false;
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK ModalForm::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<ModalForm*>(lParam)->hwnd_ = window;
        return FALSE;
    }
    auto* form = reinterpret_cast<ModalForm*>(GetWindowLongPtrW(window, DWLP_USER));
    if (form == nullptr) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    TApplication::Guarded([&] { result = form->Dispatch(message, wParam, lParam); });
    return result;
}

}  // namespace velmora
