#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velmora {

// The application's general error handler and its message boxes. Every window procedure of the
// front end runs inside it (OwnWindow), so an exception never unwinds through Windows' code: its
// message shows in one box at a time, titled "Velmora", and the program goes on.
class TApplication {
  public:
    // The common controls this front end uses (status bar, tooltips), once.
    static void Initialize();

    // Shows `message` in the error box, over the window that SetMainWindow named. While one such
    // box is open, further messages are dropped, so errors from timers firing under the box never
    // stack boxes.
    static void ShowError(const std::string& message);
    // A question with Yes and No, No the default; true for Yes.
    static bool AskYesNo(HWND owner, const std::string& question);
    // The window boxes belong to (null: none).
    static void SetMainWindow(HWND window);

    // Runs `action` inside the general error handler.
    static void Guarded(const std::function<void()>& action);
    // Runs `action`; an error goes to standard error instead of a box, for the ways out on which
    // nobody may be there to close one (the session's end).
    static void GuardedUnattended(const std::function<void()>& action);

    // True while the error box is open, and its message (else "").
    static bool ErrorShowing();
    static std::string ErrorMessage();

    // The keyboard of a window that is not a dialog (Tab, Space, Enter): `filter` sees each
    // message the loop takes and says whether it used it. Filters go with their window.
    static void AddKeyboardFilter(HWND window, std::function<bool(MSG&)> filter);
    static void RemoveKeyboardFilter(HWND window);
    // The message loop until WM_QUIT; returns its exit code.
    static int Run();
    // One message as Run handles it: the filters first, then translated and dispatched.
    static void Dispatch(MSG& message);
};

}  // namespace velmora
