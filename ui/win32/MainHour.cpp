#include "ui/win32/MainHour.h"

// <windows.h> before the headers that build on it.
#include <commctrl.h>

#include <exception>
#include <string_view>
#include <utility>

#include "platform/windows/WideText.h"
#include "ui/common/FormTexts.h"
#include "ui/win32/Application.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FormControls.h"
#include "ui/win32/FormDrawing.h"
#include "ui/win32/FormFont.h"
#include "ui/win32/HistoryWindow.h"
#include "ui/win32/Options.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/ScreenPlace.h"
#include "ui/win32/Tooltip.h"
#include "ui/win32/WindowText.h"
#include "ui/win32/help.h"

namespace velmora {

namespace {

constexpr UINT_PTR kUpdateTimerId = 1;
constexpr UINT_PTR kTimer1Id = 2;
// Single border, not resizable; system menu and minimize only.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The tooltip's lines break at this width, at 96 dpi.
constexpr int kTipWidth = 400;

HICON ProgramIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(VELMORA_IDI_PROGRAM), IMAGE_ICON, size,
                                         size, LR_SHARED));
}

WindowLook FormLook() {
    return WindowLook{.className = L"TTimeForm",
                      .style = kFormStyle,
                      .title = L"Velmora",
                      .icon = ProgramIcon(GetSystemMetrics(SM_CXICON)),
                      .smallIcon = ProgramIcon(GetSystemMetrics(SM_CXSMICON)),
                      .background = GetSysColorBrush(COLOR_BTNFACE)};
}

// The status line follows the mouse over the controls that have a text for it.
LRESULT CALLBACK StatusSubclass(HWND control, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                DWORD_PTR form) {
    if (message == WM_MOUSEMOVE) {
        const ControlDescription* part = MainHourFormDescription().Find(GetDlgCtrlID(control));
        TApplication::Guarded(
            [&] { reinterpret_cast<TTimeForm*>(form)->SetStatusText(StatusTextOf(part->name)); });
    }
    return DefSubclassProc(control, message, w, l);
}

// The bitmap resource of a picture named in the form's description.
int PictureResource(std::string_view picture) {
    constexpr std::pair<std::string_view, int> kPictures[] = {
        {"gettime", VELMORA_IDB_GETTIME},
        {"adjust", VELMORA_IDB_ADJUST},
        {"properties", VELMORA_IDB_PROPERTIES},
        {"help", VELMORA_IDB_HELP},
        {"exit", VELMORA_IDB_EXIT}};
    for (const auto& [name, resource] : kPictures) {
        if (name == picture) {
            return resource;
        }
    }
    return 0;
}

}  // namespace

TTimeForm::TTimeForm(PlatformServices services, std::unique_ptr<TrayShell> shell)
    : window_(FormLook()),
      TrayIcon1(window_.Handle(), std::move(shell)),
      HistoryFeed1(services.History),
      Controller(MainWindowServices(
          *this, UpdateTimer, Timer1, Work, services, HistoryFeed1, Presenter,
          [this] { return std::make_unique<TOptionsForm>(Handle()); },
          [](const std::string& message) { TApplication::ShowError(message); })) {
    TApplication::Initialize();
    SetUpControls();
    SetUpWindow();
    Presenter.SetUpTrayIcon(TrayIcon1);
    UpdateTimer.Attach(Handle(), kUpdateTimerId);
    Timer1.Attach(Handle(), kTimer1Id);
    window_.Listen(this);
    TApplication::SetMainWindow(Handle());
    TApplication::AddKeyboardFilter(Handle(), [this](MSG& m) { return KeyboardMessage(m); });
    TApplication::Guarded([this] { Controller.FormCreate(); });
}

TTimeForm::~TTimeForm() {
    Presenter.FormDestroy();
    TApplication::RemoveKeyboardFilter(Handle());
    TApplication::SetMainWindow(nullptr);
    window_.Listen(nullptr);
    DestroyOwnedWindows();
}

// The windows this one owns (the History window) go while what they show is still there: Windows
// would destroy them only with this window, after the form's parts.
void TTimeForm::DestroyOwnedWindows() {
    struct Owned {
        HWND owner;
        std::vector<HWND> windows;
    } found{Handle(), {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM search) {
            auto& owned = *reinterpret_cast<Owned*>(search);
            if (GetWindow(window, GW_OWNER) == owned.owner) {
                owned.windows.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    for (const HWND window : found.windows) {
        DestroyWindow(window);
    }
}

void TTimeForm::SetUpControls() {
    dpi_ = WindowDpi(Handle());
    font_.reset(CreateFormFont(dpi_));
    CreateFormControls(Handle(), MainHourFormDescription(), dpi_, font_.get());
    std::size_t next = 0;
    for (const ControlDescription& control : MainHourFormDescription().controls) {
        if (control.kind == ControlKind::PictureButton) {
            pictures_[next++].reset(static_cast<HBITMAP>(LoadImageW(
                GetModuleHandleW(nullptr), MAKEINTRESOURCEW(PictureResource(control.items.front())),
                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        }
        if (!StatusTextOf(control.name).empty()) {
            SetWindowSubclass(Control(control.id), StatusSubclass, 0,
                              reinterpret_cast<DWORD_PTR>(this));
        }
    }
}

void TTimeForm::SetUpTooltip() {
    tooltip_ = CreateTooltip(Handle(), Control(kTimeServerEditId), tipText_.data());
    ApplyTooltipDpi();
}

void TTimeForm::ApplyTooltipDpi() {
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Scaled(kTipWidth, dpi_));
}

void TTimeForm::SetUpWindow() {
    // Centred on the primary screen's work area (the designed place is not used).
    const RECT area = WorkAreaOf(nullptr);
    const SIZE size = WindowSize();
    const POINT at = CentredIn(area, size, area);
    SetWindowPos(Handle(), nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
}

// The frame Windows draws may not be the one computed for the DPI (Wine keeps its own at any
// DPI): the client area is what has to come out at the form's size.
void TTimeForm::FitClientArea() {
    RECT client{};
    RECT frame{};
    GetClientRect(Handle(), &client);
    GetWindowRect(Handle(), &frame);
    const int wider = Scaled(MainHourFormDescription().width, dpi_) - client.right;
    const int taller = Scaled(MainHourFormDescription().height, dpi_) - client.bottom;
    if (wider != 0 || taller != 0) {
        SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left + wider,
                     frame.bottom - frame.top + taller, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TTimeForm::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    font_.reset(CreateFormFont(dpi));
    LayOutFormControls(Handle(), MainHourFormDescription(), dpi, font_.get());
    if (tooltip_ != nullptr) {
        ApplyTooltipDpi();
    }
}

SIZE TTimeForm::WindowSize() const {
    const RECT client{0, 0, Scaled(MainHourFormDescription().width, dpi_),
                      Scaled(MainHourFormDescription().height, dpi_)};
    const RECT frame = WindowRectForClient(client, kFormStyle, 0, dpi_);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

// The icon's menu and picture, made with the icon (the first drawing needs neither), and all of it
// set before the icon goes in: the shell, each of whose answers is a wait for Explorer, is asked
// only to add it.
void TTimeForm::SetUpTrayIcon() {
    PopupMenu1.reset(CreatePopupMenu());
    for (const MenuItemDescription& item : TrayMenuDescription()) {
        AppendMenuW(PopupMenu1.get(), item.id == 0 ? MF_SEPARATOR : MF_STRING,
                    static_cast<UINT_PTR>(item.id),
                    item.id == 0 ? nullptr : Widen(item.caption).c_str());
    }
    TrayIcon1.PopupMenu = PopupMenu1.get();
    const HICON picture = ProgramIcon(GetSystemMetrics(SM_CXSMICON));
    ImageList1.Add(picture);
    TrayIcon1.SetIcon(picture);
    TrayIcon1.SetIconList(&ImageList1);
}

void TTimeForm::FinishStart() {
    if (TrayIcon1.IconVisible()) {
        return;
    }
    SetUpTooltip();
    SetUpTrayIcon();
    TrayIcon1.SetIconVisible(true);
    TrayIcon1.Loaded();
}

std::string TTimeForm::ControlText(int id) const {
    return id == kStatusBar1Id ? StatusText() : TextOf(Control(id));
}

void TTimeForm::SetControlText(int id, const std::string& text) {
    const HWND control = Control(id);
    if (id == kStatusBar1Id) {
        SendMessageW(control, SB_SETTEXTW, SB_SIMPLEID,
                     reinterpret_cast<LPARAM>(Widen(text).c_str()));
        return;
    }
    SetWindowTextW(control, Widen(text).c_str());
    // The clock fields draw themselves: they paint the new text only when asked.
    if (id == kLocalPCEditId || id == kTimeServerEditId) {
        InvalidateRect(control, nullptr, FALSE);
    }
}

// The cursor changes at once where it stands over this window; elsewhere it is another
// program's business.
void TTimeForm::ShowBusyCursor(bool on) {
    POINT at{};
    const HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
    if (under != nullptr && GetAncestor(under, GA_ROOT) == Handle()) {
        SetCursor(LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW));
    }
}

bool TTimeForm::AskYesNo(const std::string& question) {
    return TApplication::AskYesNo(Handle(), question);
}

void TTimeForm::SetServerFieldTip(const std::string& text) {
    tipText_ = Widen(text);
    if (tooltip_ == nullptr) {
        return;
    }
    SetTooltipText(tooltip_, Handle(), Control(kTimeServerEditId), tipText_.data());
}

std::string TTimeForm::ServerFieldTip() const {
    return Narrow(tipText_);
}

void TTimeForm::SetWindowMinimized() {
    startMinimized_ = true;
    if (IsWindowVisible(Handle())) {
        ShowWindow(Handle(), SW_MINIMIZE);
    }
}

void TTimeForm::SetWindowNormal() {
    // A hidden window is set to normal when it is shown again (RestoreMainWindow).
    if (IsWindowVisible(Handle()) && IsIconic(Handle())) {
        ShowWindow(Handle(), SW_RESTORE);
    }
}

std::string TTimeForm::StatusText() const {
    // In simple mode the bar reads back its one panel as part 0.
    const HWND bar = Control(kStatusBar1Id);
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return Narrow(text);
}

void TTimeForm::ShowAtStart(int showCommand) {
    const bool minimized = startMinimized_ || showCommand == SW_MINIMIZE ||
                           showCommand == SW_SHOWMINIMIZED || showCommand == SW_SHOWMINNOACTIVE;
    if (!minimized) {
        ShowWindow(Handle(), showCommand);
        UpdateWindow(Handle());
        // The shell's answer is a wait for Explorer that the first drawing need not have. An
        // XEmbed tray docking the icon then takes the activation a moment (IsTrayHost).
        PostMessageW(Handle(), kFinishStart, 0, 0);
        return;
    }
    // A minimized window with a tray to go to stays hidden: only the icon shows. Whether there
    // is one is the shell's answer.
    FinishStart();
    if (!TrayIcon1.TrayAvailable()) {
        ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
    }
}

void TTimeForm::ShowHelp() {
    velmora::ShowHelp(Handle());
}

void TTimeForm::ShowHistory() {
    ShowHistoryWindow(Handle(), HistoryFeed1);
}

void TTimeForm::EndProgram() {
    PostQuitMessage(0);
}

void TTimeForm::CloseWindow() {
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

// A modal window of ours disables this one while it is open.
bool TTimeForm::ModalOpen() const {
    return !IsWindowEnabled(Handle());
}

}  // namespace velmora
