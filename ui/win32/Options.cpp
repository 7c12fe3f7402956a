#include "ui/win32/Options.h"

#include <commctrl.h>

#include <vector>

#include "platform/windows/WideText.h"
#include "sync/IntervalRule.h"
#include "ui/common/FormTexts.h"
#include "ui/common/OptionsFields.h"
#include "ui/win32/ButtonGlyphs.h"
#include "ui/win32/WindowText.h"

namespace velmora {
namespace {

// Digits the user may type into the interval field.
constexpr int kIntervalDigits = 3;
// The drop-down list's closed height and its items' in the form data; the window is as high as
// the closed box and its list together.
constexpr int kComboHeight = 21;
constexpr int kComboItemHeight = 13;
constexpr int kComboListItems = 2;

constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
constexpr DWORD kGroupBox = BS_GROUPBOX | WS_GROUP;

// Typed characters reach the interval field only as digits; Backspace and the edit shortcuts
// pass, and pasted text is left to the OK check.
LRESULT CALLBACK IntervalKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR) {
    if (message == WM_CHAR && !IntervalFieldTakes(static_cast<char32_t>(wParam))) {
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, IntervalKeys, id);
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

bool Checked(HWND box) {
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Check(HWND box, bool checked) {
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The memo's lines, as typed: a wrapped row of a long host name is not a line of its own.
std::vector<std::string> MemoLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 1 : 0;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

}  // namespace

TOptionsForm::TOptionsForm(HWND owner) : ModalForm(owner, "Options", WS_SYSMENU, 530, 141) {
    // Tab order is the order made; the boxes' contents follow each box. Inner places are the
    // box's plus the control's own within it.
    const DialogControl controls[] = {
        {&OKButton, WC_BUTTONW, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, OKButtonId, 444,
         13, 75, 25},
        {&CancelButton, WC_BUTTONW, "Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0,
         CancelButtonId, 444, 46, 75, 25},
        {&GeneralBox, WC_BUTTONW, " General ", kGroupBox, 0, GeneralBoxId, 8, 8, 225, 129},
        {&Bevel1, WC_STATICW, "", SS_ETCHEDHORZ, 0, Bevel1Id, 8 + 8, 8 + 80, 209, 2},
        {&MinimizeBox, WC_BUTTONW, "&minimize on start", kCheckBox, 0, MinimizeBoxId, 8 + 12,
         8 + 17, 97, 17},
        {&AutorunBox, WC_BUTTONW, "&autorun", kCheckBox, 0, AutorunBoxId, 8 + 12, 8 + 36, 65, 17},
        {&CheckBox1, WC_BUTTONW, "synchronize every", kCheckBox, 0, CheckBox1Id, 8 + 12, 8 + 55,
         113, 17},
        {&Edit1, WC_EDITW, "", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, Edit1Id,
         8 + 120, 8 + 53, 30, 21},
        {&ComboBox1, WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0,
         ComboBox1Id, 8 + 152, 8 + 53, 65, kComboHeight},
        {&RadioButton1, WC_BUTTONW, "display GMT", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 0,
         RadioButton1Id, 8 + 12, 8 + 88, 113, 17},
        {&RadioButton2, WC_BUTTONW, "display local time", BS_AUTORADIOBUTTON, 0, RadioButton2Id,
         8 + 12, 8 + 104, 113, 17},
        {&TimeSrvGroup, WC_BUTTONW, " Time servers ", kGroupBox, 0, TimeSrvGroupId, 240, 8, 192,
         129},
        {&TimeSrvMemo, WC_EDITW, "",
         ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE,
         TimeSrvMemoId, 240 + 11, 8 + 24, 168, 73},
        {&NextOnFailBox, WC_BUTTONW, "try next server on connect fail", kCheckBox, 0,
         NextOnFailBoxId, 240 + 13, 8 + 104, 164, 17},
    };
    CreateControls(controls);
    SendMessageW(Edit1, EM_SETLIMITTEXT, kIntervalDigits, 0);
    SetWindowSubclass(Edit1, IntervalKeys, 1, 0);
    for (const wchar_t* unit : {L"hours", L"minutes"}) {
        SendMessageW(ComboBox1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unit));
    }
    SendMessageW(ComboBox1, CB_SETCURSEL, 0, 0);
    Check(RadioButton1, true);
    RadioTabStops();
    SendMessageW(Handle(), DM_SETDEFID, OKButtonId, 0);
    okGlyph_ = SetButtonGlyph(OKButton, Glyph::Check, Dpi());
    cancelGlyph_ = SetButtonGlyph(CancelButton, Glyph::Cross, Dpi());
}

TOptionsForm::~TOptionsForm() {
    DestroyIcon(okGlyph_);
    DestroyIcon(cancelGlyph_);
}

void TOptionsForm::PlaceControls() {
    ModalForm::PlaceControls();
    if (ComboBox1 == nullptr) {
        return;
    }
    // A font change sets the heights anew, so they follow it here. The closed box's border takes
    // three pixels above and below its field.
    SendMessageW(ComboBox1, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scaled(kComboHeight) - 6);
    SendMessageW(ComboBox1, CB_SETITEMHEIGHT, 0, Scaled(kComboItemHeight));
    RECT place{};
    GetWindowRect(ComboBox1, &place);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    MoveWindow(ComboBox1, place.left, place.top, place.right - place.left,
               Scaled(kComboHeight + kComboItemHeight * kComboListItems + 4), TRUE);
}

void TOptionsForm::LoadOptions(bool minimizeOnStart, bool autorun, bool tryNextServer,
                               const std::string& serverList) {
    SetBoxChecked(MinimizeBox, minimizeOnStart);
    SetBoxChecked(AutorunBox, autorun);
    SetBoxChecked(NextOnFailBox, tryNextServer);
    std::string text;
    const std::vector<std::string> lines = ServerLinesOf(serverList);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i == 0 ? "" : "\r\n") + lines[i];
    }
    SetTextOf(TimeSrvMemo, text);
}

void TOptionsForm::ReadOptions(bool& minimizeOnStart, bool& autorun, bool& tryNextServer,
                               std::string& serverList) const {
    minimizeOnStart = Checked(MinimizeBox);
    autorun = Checked(AutorunBox);
    tryNextServer = Checked(NextOnFailBox);
    serverList = ServerListOf(MemoLines(TextOf(TimeSrvMemo)));
}

bool TOptionsForm::CheckBox1Checked() const {
    return Checked(CheckBox1);
}
void TOptionsForm::SetCheckBox1Checked(bool checked) {
    SetBoxChecked(CheckBox1, checked);
}
int TOptionsForm::ComboBox1ItemIndex() const {
    return static_cast<int>(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0));
}
void TOptionsForm::SetComboBox1ItemIndex(int index) {
    SendMessageW(ComboBox1, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
std::string TOptionsForm::Edit1Text() const {
    return TextOf(Edit1);
}
// The limit is the user's: the program's own value shows whole.
void TOptionsForm::SetEdit1Text(const std::string& text) {
    SetTextOf(Edit1, text);
}
bool TOptionsForm::RadioButton1Checked() const {
    return Checked(RadioButton1);
}
bool TOptionsForm::RadioButton2Checked() const {
    return Checked(RadioButton2);
}
bool TOptionsForm::AutorunBoxChecked() const {
    return Checked(AutorunBox);
}

// The pair is exclusive: clearing one checks the other.
void TOptionsForm::SetRadioButton1Checked(bool checked) {
    Check(RadioButton1, checked);
    RadioButton1Click();
}
void TOptionsForm::SetRadioButton2Checked(bool checked) {
    Check(RadioButton2, checked);
    RadioButton2Click();
}

void TOptionsForm::RadioButton1Click() {
    Check(RadioButton2, !Checked(RadioButton1));
    RadioTabStops();
}

void TOptionsForm::RadioButton2Click() {
    Check(RadioButton1, !Checked(RadioButton2));
    RadioTabStops();
}

void TOptionsForm::RadioTabStops() {
    for (HWND radio : {RadioButton1, RadioButton2}) {
        const LONG_PTR style = GetWindowLongPtrW(radio, GWL_STYLE);
        SetWindowLongPtrW(radio, GWL_STYLE,
                          Checked(radio) ? style | WS_TABSTOP : style & ~LONG_PTR{WS_TABSTOP});
    }
}

void TOptionsForm::CheckBox1Click() {
    EnableWindow(Edit1, CheckBox1Checked());
    EnableWindow(ComboBox1, CheckBox1Checked());
}

void TOptionsForm::MinimizeBoxClick() {
    if (Checked(MinimizeBox)) {
        SetBoxChecked(AutorunBox, true);
    }
}

void TOptionsForm::SetBoxChecked(HWND box, bool checked) {
    if (Checked(box) != checked) {
        Check(box, checked);
        Clicked(box);
    }
}

void TOptionsForm::Clicked(HWND box) {
    if (box == CheckBox1) {
        CheckBox1Click();
    } else if (box == MinimizeBox) {
        MinimizeBoxClick();
    } else if (box == RadioButton1) {
        RadioButton1Click();
    } else if (box == RadioButton2) {
        RadioButton2Click();
    }
}

bool TOptionsForm::IntervalValid() const {
    return IntervalMilliseconds(Edit1Text(), ComboBox1ItemIndex() == 0).has_value();
}

void TOptionsForm::OKButtonClick() {
    if (CheckBox1Checked() && !IntervalValid()) {
        MessageBoxW(Handle(), Widen(kBadIntervalMessage).c_str(), Widen(kTitle).c_str(), MB_OK);
        return;
    }
    Accepted = true;
    Close();
}

bool TOptionsForm::OnCommand(int id, int code) {
    if (id == OKButtonId) {
        OKButtonClick();
        return true;
    }
    if (code == BN_CLICKED && id != CancelButtonId) {
        Clicked(GetDlgItem(Handle(), id));
        return true;
    }
    return ModalForm::OnCommand(id, code);
}

void TOptionsForm::OnShow() {
    CheckBox1Click();
}

void TOptionsForm::OnShown() {
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(OKButton), TRUE);
}

}  // namespace velmora
