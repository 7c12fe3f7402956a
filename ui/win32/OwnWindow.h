#pragma once

#include <windows.h>

namespace velmora {

// Whatever handles a window's messages.
class MessageHandler {
  public:
    virtual ~MessageHandler() = default;
    // A message of `window`; what DefWindowProcW would give for the ones not handled.
    virtual LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l) = 0;
};

// What a window of a class of our own looks like.
struct WindowLook {
    const wchar_t* className = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // HWND_MESSAGE for a message-only window
    const wchar_t* title = L"";
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HBRUSH background = nullptr;
};

// A window of a class of our own (registered on first use), destroyed with this object. Its
// messages go to DefWindowProcW until a handler listens; from then on to the handler, inside the
// general error handler: an exception never unwinds through Windows' code.
class OwnWindow {
  public:
    explicit OwnWindow(const WindowLook& look);
    ~OwnWindow();
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;

    HWND Handle() const { return window_; }
    // From now on `handler` gets the messages (null: none again).
    void Listen(MessageHandler* handler);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);

    HWND window_ = nullptr;
    MessageHandler* handler_ = nullptr;
};

}  // namespace velmora
