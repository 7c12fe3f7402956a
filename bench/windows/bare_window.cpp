// bench_bare_window: the floor any Win32 program pays: one top-level window with the client size
// of Velmora's (315 x 151 at 96 dpi), the same frame, and a static text that a 500 ms timer
// rewrites (empty until then). bench/run-startup-windows measures it beside velmora.exe.

#include <windows.h>

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr int kTextId = 1;
constexpr SIZE kClient{315, 151};
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

void ShowTime(HWND window) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t text[64];
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, text, 64);
    SetDlgItemTextW(window, kTextId, text);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_CREATE:
            CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 8, 8, kClient.cx - 16, 24,
                            window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), nullptr,
                            nullptr);
            SetTimer(window, kTimerId, 500, nullptr);
            return 0;
        case WM_TIMER:
            ShowTime(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, w, l);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSW look{};
    look.lpfnWndProc = Procedure;
    look.hInstance = instance;
    look.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    look.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    look.lpszClassName = L"BareWindow";
    RegisterClassW(&look);
    RECT frame{0, 0, kClient.cx, kClient.cy};
    AdjustWindowRect(&frame, kStyle, FALSE);
    const HWND window = CreateWindowExW(
        0, look.lpszClassName, L"Bare Win32 window", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
