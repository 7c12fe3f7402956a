#include "ui/win32/OwnWindow.h"

#include "ui/win32/Application.h"

namespace velmora {

namespace {

void Register(const WindowLook& look, WNDPROC procedure) {
    WNDCLASSEXW registration{};
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, look.className, &registration)) {
        return;
    }
    registration.cbSize = sizeof registration;
    registration.style = CS_DBLCLKS;
    registration.lpfnWndProc = procedure;
    registration.hInstance = instance;
    registration.hIcon = look.icon;
    registration.hIconSm = look.smallIcon;
    registration.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    registration.hbrBackground = look.background;
    registration.lpszClassName = look.className;
    RegisterClassExW(&registration);
}

}  // namespace

OwnWindow::OwnWindow(const WindowLook& look) {
    Register(look, Procedure);
    window_ = CreateWindowExW(look.exStyle, look.className, look.title, look.style, 0, 0, 0, 0,
                              look.parent, nullptr, GetModuleHandleW(nullptr), this);
}

OwnWindow::~OwnWindow() {
    handler_ = nullptr;
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void OwnWindow::Listen(MessageHandler* handler) {
    handler_ = handler;
}

LRESULT CALLBACK OwnWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<OwnWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (self != nullptr) {
            self->window_ = nullptr;
        }
    }
    if (self == nullptr || self->handler_ == nullptr) {
        return DefWindowProcW(window, message, w, l);
    }
    // A handler that throws did what it did and no more: not the default either (a close that
    // failed must not go on to destroy the window).
    LRESULT result = 0;
    MessageHandler* handler = self->handler_;
    TApplication::Guarded([&] { result = handler->Handle(window, message, w, l); });
    return result;
}

}  // namespace velmora
