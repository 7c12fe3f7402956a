#include "ui/win32/Options.h"

#include <commctrl.h>

#include "platform/windows/WideText.h"
#include "ui/common/FormTexts.h"
#include "ui/common/OptionsForm.h"
#include "ui/win32/ButtonGlyphs.h"
#include "ui/win32/WindowText.h"

namespace velmora {
namespace {

// The drop-down list's closed height and its items' in the form data; the window is as high as
// the closed box and its list together.
constexpr int kComboHeight = 21;
constexpr int kComboItemHeight = 13;
constexpr int kComboListItems = 2;

// A memo's lines are broken by "\r\n".
std::string MemoText(const std::string& lines) {
    std::string text;
    for (const char c : lines) {
        text += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return text;
}

}  // namespace

TOptionsForm::TOptionsForm(HWND owner) : ModalForm(owner, OptionsFormDescription(), WS_SYSMENU) {
    CreateControls();
    SendMessageW(Handle(), DM_SETDEFID, kOKButtonId, 0);
    okGlyph_ = SetButtonGlyph(Control(kOKButtonId), Glyph::Check, Dpi());
    cancelGlyph_ = SetButtonGlyph(Control(kCancelButtonId), Glyph::Cross, Dpi());
}

TOptionsForm::~TOptionsForm() {
    DestroyIcon(okGlyph_);
    DestroyIcon(cancelGlyph_);
}

std::optional<OptionsValues> TOptionsForm::Edit(const OptionsValues& shown) {
    return presenter_.Edit(shown);
}

void TOptionsForm::PlaceControls() {
    ModalForm::PlaceControls();
    const HWND list = Control(kComboBox1Id);
    if (list == nullptr) {
        return;
    }
    // A font change sets the heights anew, so they follow it here. The closed box's border takes
    // three pixels above and below its field.
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scaled(kComboHeight) - 6);
    SendMessageW(list, CB_SETITEMHEIGHT, 0, Scaled(kComboItemHeight));
    RECT place{};
    GetWindowRect(list, &place);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    MoveWindow(list, place.left, place.top, place.right - place.left,
               Scaled(kComboHeight + kComboItemHeight * kComboListItems + 4), TRUE);
}

bool TOptionsForm::Checked(int id) const {
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TOptionsForm::SetChecked(int id, bool checked) {
    SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    RadioTabStops();
}

std::string TOptionsForm::Text(int id) const {
    return TextOf(Control(id));
}

// The limit is the user's: the program's own value shows whole.
void TOptionsForm::SetText(int id, const std::string& text) {
    SetTextOf(Control(id), id == kTimeSrvMemoId ? MemoText(text) : text);
}

int TOptionsForm::ItemIndex(int id) const {
    return static_cast<int>(SendMessageW(Control(id), CB_GETCURSEL, 0, 0));
}

void TOptionsForm::SetItemIndex(int id, int index) {
    SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TOptionsForm::SetEnabled(int id, bool enabled) {
    EnableWindow(Control(id), enabled ? TRUE : FALSE);
}

void TOptionsForm::SetHeight(int height) {
    SetClientHeight(height);
}

void TOptionsForm::Focus(int id) {
    focus_ = id;
    if (Shown()) {
        OnShown();
    }
}

void TOptionsForm::OnShown() {
    if (focus_ == 0) {
        return;
    }
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(focus_)), TRUE);
}

void TOptionsForm::ShowMessage(const std::string& text) {
    MessageBoxW(Handle(), Widen(text).c_str(), Widen(kTitle).c_str(), MB_OK);
}

void TOptionsForm::RadioTabStops() {
    for (const int id : {kRadioButton1Id, kRadioButton2Id}) {
        const HWND radio = Control(id);
        const LONG_PTR style = GetWindowLongPtrW(radio, GWL_STYLE);
        SetWindowLongPtrW(radio, GWL_STYLE,
                          Checked(id) ? style | WS_TABSTOP : style & ~LONG_PTR{WS_TABSTOP});
    }
}

bool TOptionsForm::OnCommand(int id, int code) {
    if (code != BN_CLICKED) {
        return false;
    }
    presenter_.Clicked(id);
    RadioTabStops();
    return true;
}

}  // namespace velmora
