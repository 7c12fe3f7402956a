#include "platform/windows/OneCopy.h"

namespace velmora {

namespace {

// A first copy that is still starting has its listener a moment later.
constexpr int kHandOverTries = 50;
constexpr DWORD kHandOverPauseMs = 100;

}  // namespace

SessionCopy::SessionCopy(const wchar_t* mutexName) {
    mutex_ = CreateMutexW(nullptr, FALSE, mutexName);
    first_ = mutex_ == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

SessionCopy::~SessionCopy() {
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
    }
}

UINT ShowRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velmora.ShowWindow");
    return message;
}

ShowRequests::ShowRequests(std::function<void()> show, const wchar_t* windowClass)
    : show_(std::move(show)), windowClass_(windowClass) {
    WNDCLASSW registration{};
    registration.lpfnWndProc = Procedure;
    registration.hInstance = GetModuleHandleW(nullptr);
    registration.lpszClassName = windowClass_;
    RegisterClassW(&registration);
    window_ = CreateWindowExW(0, windowClass_, L"Velmora", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              registration.hInstance, this);
    if (window_ != nullptr) {
        // A copy started as administrator still hears a second start of the user's own.
        ChangeWindowMessageFilterEx(window_, ShowRequestMessage(), MSGFLT_ALLOW, nullptr);
    }
}

ShowRequests::~ShowRequests() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    UnregisterClassW(windowClass_, GetModuleHandleW(nullptr));
}

LRESULT CALLBACK ShowRequests::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ShowRequests*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == ShowRequestMessage()) {
        if (self->show_) {
            self->show_();
        }
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

bool ShowFirstCopy(const wchar_t* windowClass) {
    const HWND window = FindWindowExW(HWND_MESSAGE, nullptr, windowClass, nullptr);
    if (window == nullptr) {
        return false;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    // Only the foreground program may hand the foreground on: this one, just started by the user.
    AllowSetForegroundWindow(process);
    return PostMessageW(window, ShowRequestMessage(), 0, 0) != 0;
}

WindowsOneCopy::WindowsOneCopy(const wchar_t* mutexName, const wchar_t* windowClass)
    : windowClass_(windowClass) {
    session_.emplace(mutexName);
    if (session_->First()) {
        return;
    }
    for (int tried = 0; tried < kHandOverTries && !ShowFirstCopy(windowClass_); ++tried) {
        Sleep(kHandOverPauseMs);
    }
}

void WindowsOneCopy::Answer(std::function<void()> show) {
    requests_ = std::make_unique<ShowRequests>(std::move(show), windowClass_);
}

void WindowsOneCopy::Stop() {
    StopAnswering();
    session_.reset();
}

}  // namespace velmora
