// win-probe: what the Windows end-to-end tests ask of the program's windows from outside it, as
// another program on the same desktop can. A window is named by "CLASS" or "CLASS:TITLE" (a
// dialog is "#32770:Its caption"); a control by its id, 0 for the window itself.
//
//   win-probe text WINDOW ID      its text
//   win-probe rect WINDOW ID      its place on the screen: left top right bottom
//   win-probe client WINDOW       its client area: width height
//   win-probe shown WINDOW        exit 0 when it is visible and not minimized
//   win-probe checked WINDOW ID   exit 0 when the button is ticked
//   win-probe settext WINDOW ID TEXT  puts TEXT into the control, as typing it over its text would
//   win-probe post WINDOW MESSAGE posts a registered message ("TaskbarCreated") or WM_CLOSE
//   win-probe untray WINDOW ID    takes the tray icon ID of the window out of the tray, as an
//                                 Explorer that restarts loses it
//   win-probe tips                the text of every tooltip shown, one a line
//   win-probe click-watch WINDOW BUTTON MOVING RESULT
//                                 clicks BUTTON, then reads MOVING (a field that changes by
//                                 itself) and RESULT until RESULT has a text; prints the ms from
//                                 the click to that text. Exit 3: the window stopped answering,
//                                 4: RESULT came before MOVING changed, 5: no RESULT for a long
//                                 while. One process, so that no probe's start falls between the
//                                 click and the look.
//   win-probe tip-wait TEXT       says "ready", then watches for a tooltip holding TEXT: exit 0
//                                 when one shows, 1 when none did for a while (the caller hovers
//                                 and asks again). A tip shows for a few seconds only: watching
//                                 from before the hover keeps a slow start of the probe from
//                                 missing it.
// With WINPROBE_DESKTOP set, the windows are looked for on that desktop (the name given to
// `explorer /desktop=NAME,...`), as a program started there would see them.
// Exit 2: no such window or control.
// <windows.h> before the headers that build on it.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>

namespace {

HWND FindNamed(const std::wstring& name) {
    const std::size_t colon = name.find(L':', 1);
    const std::wstring className = name.substr(0, colon);
    const std::wstring title = colon == std::wstring::npos ? L"" : name.substr(colon + 1);
    return FindWindowW(className.c_str(), colon == std::wstring::npos ? nullptr : title.c_str());
}

HWND Control(HWND window, const wchar_t* id) {
    const int number = _wtoi(id);
    return number == 0 ? window : GetDlgItem(window, number);
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// The control's text, or nothing when the window does not answer within 2 s.
std::optional<std::wstring> TextOf(HWND control) {
    wchar_t text[4096] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::nullopt;
    }
    return std::wstring(text, length);
}

int ClickWatch(HWND button, HWND moving, HWND result) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored)) {
        return 3;
    }
    const ULONGLONG clicked = GetTickCount64();
    const std::optional<std::wstring> first = TextOf(moving);
    bool moved = false;
    for (int look = 0; look < 3000; ++look) {
        const std::optional<std::wstring> now = TextOf(moving);
        const std::optional<std::wstring> answer = TextOf(result);
        if (!first || !now || !answer) {
            return 3;
        }
        moved = moved || *now != *first;
        if (!answer->empty()) {
            std::printf("%llu\n", GetTickCount64() - clicked);
            return moved ? 0 : 4;
        }
        Sleep(20);
    }
    return 5;
}

int PrintText(HWND control) {
    const std::optional<std::wstring> text = TextOf(control);
    if (!text) {
        return 3;
    }
    std::printf("%s\n", Utf8(*text).c_str());
    return 0;
}

int Post(HWND window, const wchar_t* message) {
    const UINT number =
        std::wcscmp(message, L"WM_CLOSE") == 0 ? WM_CLOSE : RegisterWindowMessageW(message);
    return PostMessageW(window, number, 0, 0) ? 0 : 1;
}

int Untray(HWND window, const wchar_t* id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = static_cast<UINT>(_wtoi(id));
    return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
}

BOOL CALLBACK PrintShownTip(HWND window, LPARAM) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (std::wcscmp(name, L"tooltips_class32") == 0 && IsWindowVisible(window)) {
        PrintText(window);
    }
    return TRUE;
}

BOOL CALLBACK FindShownTip(HWND window, LPARAM wanted) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (std::wcscmp(name, L"tooltips_class32") != 0 || !IsWindowVisible(window)) {
        return TRUE;
    }
    const std::optional<std::wstring> text = TextOf(window);
    return !text || text->find(reinterpret_cast<const wchar_t*>(wanted)) == std::wstring::npos;
}

int WaitForTip(const wchar_t* wanted) {
    std::puts("ready");
    std::fflush(stdout);
    for (int look = 0; look < 500; ++look) {
        if (!EnumWindows(FindShownTip, reinterpret_cast<LPARAM>(wanted))) {
            return 0;
        }
        Sleep(20);
    }
    return 1;
}

int Run(const std::wstring& command, HWND window, const wchar_t* argument, const wchar_t* text) {
    if (command == L"client") {
        RECT client{};
        GetClientRect(window, &client);
        std::printf("%ld %ld\n", client.right, client.bottom);
        return 0;
    }
    if (command == L"shown") {
        return IsWindowVisible(window) && !IsIconic(window) ? 0 : 1;
    }
    if (argument == nullptr) {
        return 64;
    }
    if (command == L"post") {
        return Post(window, argument);
    }
    if (command == L"untray") {
        return Untray(window, argument);
    }
    HWND control = Control(window, argument);
    if (control == nullptr) {
        return 2;
    }
    if (command == L"text") {
        return PrintText(control);
    }
    if (command == L"settext" && text != nullptr) {
        return SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? 0 : 1;
    }
    if (command == L"checked") {
        return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 0 : 1;
    }
    if (command == L"rect") {
        RECT place{};
        GetWindowRect(control, &place);
        std::printf("%ld %ld %ld %ld\n", place.left, place.top, place.right, place.bottom);
        return 0;
    }
    return 64;
}

int ClickWatchNamed(int argc, wchar_t** argv) {
    HWND window = FindNamed(argv[2]);
    if (argc < 6 || window == nullptr) {
        return 2;
    }
    HWND button = Control(window, argv[3]);
    HWND moving = Control(window, argv[4]);
    HWND result = Control(window, argv[5]);
    if (button == nullptr || moving == nullptr || result == nullptr) {
        return 2;
    }
    return ClickWatch(button, moving, result);
}

}  // namespace

// Windows are found on the thread's desktop only.
bool JoinDesktop() {
    const wchar_t* name = _wgetenv(L"WINPROBE_DESKTOP");
    if (name == nullptr || *name == L'\0') {
        return true;
    }
    HDESK desktop = OpenDesktopW(name, 0, FALSE, GENERIC_ALL);
    return desktop != nullptr && SetThreadDesktop(desktop);
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || (argc < 3 && std::wcscmp(argv[1], L"tips") != 0)) {
        std::fputs(
            "usage: win-probe text|rect|client|shown|checked|post|untray WINDOW [ID]\n"
            "       win-probe settext WINDOW ID TEXT\n"
            "       win-probe tips | tip-wait TEXT\n"
            "       win-probe click-watch WINDOW BUTTON MOVING RESULT\n",
            stderr);
        return 64;
    }
    if (!JoinDesktop()) {
        std::fputs("win-probe: no such desktop\n", stderr);
        return 2;
    }
    if (argc < 3) {
        return EnumWindows(PrintShownTip, 0) ? 0 : 1;
    }
    if (std::wcscmp(argv[1], L"tip-wait") == 0) {
        return WaitForTip(argv[2]);
    }
    if (std::wcscmp(argv[1], L"click-watch") == 0) {
        return ClickWatchNamed(argc, argv);
    }
    HWND window = FindNamed(argv[2]);
    if (window == nullptr) {
        return 2;
    }
    return Run(argv[1], window, argc > 3 ? argv[3] : nullptr, argc > 4 ? argv[4] : nullptr);
}
