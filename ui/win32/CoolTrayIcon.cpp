#include "ui/win32/CoolTrayIcon.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

#include "platform/windows/WideText.h"
#include "ui/common/TrayTip.h"
#include "ui/win32/Application.h"
#include "ui/win32/OwnWindow.h"

namespace velmora {

namespace {

// `text` cut to what the shell's field holds, never in the middle of a character.
template <std::size_t N>
void CopyInto(wchar_t (&field)[N], const std::string& text) {
    const std::wstring cut = Widen(CutToUtf16Units(text, N - 1));
    std::fill(std::begin(field), std::end(field), L'\0');
    std::copy(cut.begin(), cut.end(), field);
}

}  // namespace

// The one hidden window of all tray icons: the shell's notifications for each icon (told apart by
// the icon's id in wParam) and its "TaskbarCreated" broadcast, which a message-only window would
// never hear. It lives while an icon does, and is made when the shell is first asked about one:
// a program's start need not wait for it.
class TTrayIconHandler : private MessageHandler {
  public:
    ~TTrayIconHandler() override {
        if (window_) {
            window_->Listen(nullptr);
        }
    }

    static std::shared_ptr<TTrayIconHandler> Shared() {
        static std::weak_ptr<TTrayIconHandler> shared;
        std::shared_ptr<TTrayIconHandler> handler = shared.lock();
        if (!handler) {
            handler = std::make_shared<TTrayIconHandler>();
            shared = handler;
        }
        return handler;
    }

    HWND Window() {
        if (!window_) {
            window_.emplace(WindowLook{.className = L"TTrayIconHandler",
                                       .style = WS_POPUP,
                                       .exStyle = WS_EX_TOOLWINDOW,
                                       .title = L"Velmora"});
            window_->Listen(this);
            // A copy running as administrator still hears the shell of the user's own rights.
            for (const UINT message :
                 {kCallbackMessage(), TCoolTrayIcon::TaskbarCreatedMessage()}) {
                ChangeWindowMessageFilterEx(window_->Handle(), message, MSGFLT_ALLOW, nullptr);
            }
        }
        return window_->Handle();
    }
    UINT Join(TCoolTrayIcon* icon) {
        icons_[++lastId_] = icon;
        return lastId_;
    }
    void Leave(UINT id) { icons_.erase(id); }

  private:
    static UINT kCallbackMessage() { return TCoolTrayIcon::kCallbackMessage; }

    LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l) override {
        if (message == TCoolTrayIcon::kCallbackMessage) {
            const auto icon = icons_.find(static_cast<UINT>(w));
            if (icon != icons_.end()) {
                icon->second->TrayMessage(static_cast<UINT>(l));
            }
            return 0;
        }
        if (message == TCoolTrayIcon::TaskbarCreatedMessage() && message != 0) {
            // A copy: an icon may go while the others are added.
            const std::map<UINT, TCoolTrayIcon*> icons = icons_;
            for (const auto& [id, icon] : icons) {
                icon->TaskbarCreated();
            }
            return 0;
        }
        switch (message) {
            // Nobody closes the icons' window but the icons; the session's end is the owner's.
            case WM_CLOSE:
                return 0;
            case WM_QUERYENDSESSION:
                return TRUE;
            default:
                return DefWindowProcW(window, message, w, l);
        }
    }

    std::optional<OwnWindow> window_;
    std::map<UINT, TCoolTrayIcon*> icons_;
    UINT lastId_ = 0;
};

TImageList::TImageList(int size)
    : list_(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 1)) {}

TImageList::~TImageList() {
    if (list_ != nullptr) {
        ImageList_Destroy(list_);
    }
}

int TImageList::Count() const {
    return list_ != nullptr ? ImageList_GetImageCount(list_) : 0;
}

void TImageList::Add(HICON image) {
    if (list_ != nullptr && image != nullptr) {
        ImageList_AddIcon(list_, image);
    }
}

HICON TImageList::GetIcon(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return ImageList_GetIcon(list_, index, ILD_NORMAL);
}

UINT TCoolTrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

TCoolTrayIcon::TCoolTrayIcon(HWND owner, std::unique_ptr<TrayShell> shell)
    : owner_(owner), shell_(std::move(shell)), handler_(TTrayIconHandler::Shared()) {
    id_ = handler_->Join(this);
    data_.cbSize = sizeof data_;
    data_.uID = id_;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kCallbackMessage;
}

TCoolTrayIcon::~TCoolTrayIcon() {
    // The icon leaves the tray with its component.
    if (IconVisible()) {
        RemoveFromTray();
    }
    handler_->Leave(id_);
    ReplaceIcon(nullptr);
}

HWND TCoolTrayIcon::HandlerWindow() const {
    return handler_->Window();
}

void TCoolTrayIcon::ReplaceIcon(HICON owned) {
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
    icon_ = owned;
}

void TCoolTrayIcon::SetIcon(HICON icon) {
    ReplaceIcon(icon != nullptr ? CopyIcon(icon) : nullptr);
    UpdateInTray();
}

void TCoolTrayIcon::SetIconList(TImageList* list) {
    iconList_ = list;
    SetIconIndex(0);
}

void TCoolTrayIcon::Loaded() {
    UpdateInTray();
    SetIconVisible(IconVisible());
    data_.uVersion = 0;
    Send(NIM_SETVERSION);
}

void TCoolTrayIcon::FillNotifyData() {
    data_.hIcon = icon_;
    // The shell's field holds 127 units, lines and all: the lines that fit whole, then; the
    // server field's tooltip has them all.
    CopyInto(data_.szTip, CutTipToUnits(TipText(), std::size(data_.szTip) - 1));
}

bool TCoolTrayIcon::Send(DWORD message) {
    data_.hWnd = handler_->Window();
    return shell_->NotifyIcon(message, data_);
}

bool TCoolTrayIcon::AddToTray() {
    SetShownInTray(true);
    FillNotifyData();
    // An icon already there is refused, and is there still.
    const bool added = Send(NIM_ADD);
    inTray_ = added || inTray_;
    return added;
}

bool TCoolTrayIcon::RemoveFromTray() {
    SetShownInTray(false);
    FillNotifyData();
    const bool removed = Send(NIM_DELETE);
    inTray_ = false;
    return removed;
}

bool TCoolTrayIcon::UpdateInTray() {
    FillNotifyData();
    // An icon not put in the tray has nothing there to change, and the shell need not be asked.
    if (!IconVisible()) {
        return false;
    }
    if (Send(NIM_MODIFY)) {
        return true;
    }
    // The shell has lost a visible icon (it restarted, and has not said so yet): it goes back.
    if (inTray_) {
        inTray_ = Send(NIM_ADD);
        return inTray_;
    }
    return false;
}

void TCoolTrayIcon::ShowMessage(const std::string& title, const std::string& text) {
    if (!inTray_) {
        return;
    }
    FillNotifyData();
    NOTIFYICONDATAW balloon = data_;
    balloon.uFlags |= NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    CopyInto(balloon.szInfoTitle, title);
    CopyInto(balloon.szInfo, text);
    shell_->NotifyIcon(NIM_MODIFY, balloon);
}

void TCoolTrayIcon::ShowOwner() {
    ShowWindow(owner_, IsIconic(owner_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(owner_);
}

void TCoolTrayIcon::OwnerMessage(UINT message, WPARAM w, LPARAM) {
    if (message == WM_SIZE && w == SIZE_MINIMIZED) {
        OwnerStateChanged();
    } else if (message == WM_SHOWWINDOW && w != FALSE) {
        OwnerShown();
    }
}

void TCoolTrayIcon::TrayMessage(UINT mouseMessage) {
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        Clicked(TrayGesture::Restore);
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        Clicked(TrayGesture::Menu);
    }
}

void TCoolTrayIcon::TaskbarCreated() {
    if (!IconVisible()) {
        return;
    }
    // Whatever the old shell had is gone with it.
    inTray_ = false;
    AddToTray();
    // A tray that cannot take the icon cannot give a hidden window back either.
    if (inTray_) {
        TrayCame();
    } else {
        TrayGone();
    }
}

void TCoolTrayIcon::OpenTrayMenu() {
    POINT at{};
    if (PopupMenu == nullptr || owner_ == nullptr || !GetCursorPos(&at)) {
        return;
    }
    // The menu closes when the user clicks elsewhere only while the owner is in the foreground,
    // and closes at all for the next click only once the owner has had a message after it.
    SetForegroundWindow(owner_);
    TrackPopupMenu(PopupMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner_, nullptr);
    PostMessageW(owner_, WM_NULL, 0, 0);
}

void TCoolTrayIcon::RunDefaultItem() {
    if (PopupMenu == nullptr || owner_ == nullptr) {
        return;
    }
    const UINT item = GetMenuDefaultItem(PopupMenu, FALSE, 0);
    if (item != static_cast<UINT>(-1)) {
        PostMessageW(owner_, WM_COMMAND, MAKEWPARAM(item, 0), 0);
    }
}

}  // namespace velmora
