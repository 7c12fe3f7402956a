#include "ui/win32/Application.h"

#include <commctrl.h>

#include <map>
#include <utility>

#include "platform/windows/WideText.h"
#include "ui/common/ErrorReport.h"
#include "ui/common/FormTexts.h"

namespace velmora {

namespace {

HWND mainWindow = nullptr;

std::map<HWND, std::function<bool(MSG&)>>& KeyboardFilters() {
    static std::map<HWND, std::function<bool(MSG&)>> filters;
    return filters;
}

// The owner a box may have: a window hidden in the tray would leave the box without a place (a
// hidden owner keeps it off the taskbar, so the user could lose it). Over a modal window of ours
// the box belongs to that window: it enables its owner again when it closes, which must not be
// the window the modal one keeps disabled.
HWND BoxOwner(HWND wanted) {
    if (wanted == nullptr || !IsWindowVisible(wanted)) {
        return nullptr;
    }
    const HWND popup = GetLastActivePopup(wanted);
    return popup != nullptr && IsWindowVisible(popup) ? popup : wanted;
}

}  // namespace

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

void TApplication::ShowError(const std::string& message) {
    ShowOneAtATime(message, [&message] {
        const HWND owner = BoxOwner(mainWindow);
        MessageBoxW(
            owner, Widen(message).c_str(), Widen(kTitle).c_str(),
            MB_OK | MB_ICONERROR | (owner == nullptr ? MB_SETFOREGROUND | MB_TASKMODAL : 0));
    });
}

bool TApplication::AskYesNo(HWND owner, const std::string& question) {
    const HWND shown = BoxOwner(owner);
    return MessageBoxW(shown, Widen(question).c_str(), Widen(kTitle).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 |
                           (shown == nullptr ? MB_SETFOREGROUND | MB_TASKMODAL : 0)) == IDYES;
}

void TApplication::SetMainWindow(HWND window) {
    mainWindow = window;
}

void TApplication::Guarded(const std::function<void()>& action) {
    RunReporting(action, [](const std::string& message) { ShowError(message); });
}

void TApplication::GuardedUnattended(const std::function<void()>& action) {
    RunReporting(action, ReportToStandardError);
}

bool TApplication::ErrorShowing() {
    return ErrorBoxShowing();
}

std::string TApplication::ErrorMessage() {
    return ErrorBoxMessage();
}

void TApplication::AddKeyboardFilter(HWND window, std::function<bool(MSG&)> filter) {
    KeyboardFilters()[window] = std::move(filter);
}

void TApplication::RemoveKeyboardFilter(HWND window) {
    KeyboardFilters().erase(window);
}

void TApplication::Dispatch(MSG& message) {
    for (const auto& [window, filter] : KeyboardFilters()) {
        if (message.hwnd == window || IsChild(window, message.hwnd)) {
            // A copy: the filter may end its window, and so itself, on the way.
            const std::function<bool(MSG&)> run = filter;
            bool used = false;
            Guarded([&] { used = run(message); });
            if (used) {
                return;
            }
            break;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int TApplication::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        Dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace velmora
