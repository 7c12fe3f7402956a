#include "ui/win32/help.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstring>
#include <string>

#include "ui/common/HelpText.h"
#include "ui/win32/ButtonGlyphs.h"

namespace velmora {
namespace {

// 12 point, in the twentieths of a point rich edits count in.
constexpr LONG kTextHeightTwips = 12 * 20;

std::wstring HelpText() {
    std::wstring text;
    for (std::size_t i = 0; i < kHelpLines.size(); ++i) {
        text += i == 0 ? L"" : L"\r\n";
        for (const char* c = kHelpLines[i]; *c != '\0'; ++c) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        }
    }
    return text;
}

void SetRegularText(HWND edit) {
    SetWindowTextW(edit, HelpText().c_str());
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_COLOR;
    format.dwEffects = CFE_AUTOCOLOR;
    format.yHeight = kTextHeightTwips;
    wcscpy(format.szFaceName, L"Times New Roman");
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

// How many characters a line break takes in the control's positions: one (a paragraph mark) in
// RichEdit 2.0 and later, two in RichEdit 1.0.
LONG LineBreakLength(HWND edit) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto all = static_cast<LONG>(
        SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    LONG visible = 0;
    for (const char* line : kHelpLines) {
        visible += static_cast<LONG>(std::strlen(line));
    }
    const auto breaks = static_cast<LONG>(kHelpLines.size() - 1);
    return all - visible >= 2 * breaks ? 2 : 1;
}

// Selects line `line` (from 1) whole, without the breaks around it.
void SelectLine(HWND edit, int line, LONG breakLength) {
    LONG start = 0;
    for (int i = 0; i + 1 < line; ++i) {
        start += static_cast<LONG>(std::strlen(kHelpLines[i])) + breakLength;
    }
    CHARRANGE range{start, start + static_cast<LONG>(std::strlen(kHelpLines[line - 1]))};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void StyleLine(HWND edit, int line, LONG breakLength, bool underline) {
    SelectLine(edit, line, breakLength);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_UNDERLINE;
    format.dwEffects = CFE_BOLD | (underline ? CFE_UNDERLINE : 0);
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

}  // namespace

THelpForm::THelpForm(HWND owner)
    : ModalForm(owner, HelpFormDescription(), WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX) {
    CreateControls();
    BitBtn1 = Control(BitBtn1Id);
    RichEdit1 = Control(RichEdit1Id);
    Panel1 = Control(Panel1Id);
    SetRegularText(RichEdit1);
    closeGlyph_ = SetButtonGlyph(BitBtn1, Glyph::Cross, Dpi());
}

THelpForm::~THelpForm() {
    DestroyIcon(closeGlyph_);
}

void THelpForm::FormShow() {
    const LONG breakLength = LineBreakLength(RichEdit1);
    StyleLine(RichEdit1, kTitleLine, breakLength, true);
    for (int line : kHeadingLines) {
        StyleLine(RichEdit1, line, breakLength, false);
    }
    // The selection stays on the last heading, unseen while Close has the focus; the text shows
    // from its start.
    SendMessageW(RichEdit1, WM_VSCROLL, SB_TOP, 0);
}

void THelpForm::OnShow() {
    FormShow();
}

void THelpForm::OnShown() {
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(BitBtn1), TRUE);
}

// The panel along the bottom at its height, Close at its place in it, the text above: as the
// form data docks them, whatever the window's size.
void THelpForm::PlaceControls() {
    // The form's places and font first; then docked to the window's size.
    ModalForm::PlaceControls();
    const FormDescription& form = HelpFormDescription();
    const int panelHeight = Scaled(form.Find(kPanel1Id)->place.height);
    const ControlPlace close = form.Find(kBitBtn1Id)->place;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int panelTop = client.bottom - panelHeight;
    MoveWindow(RichEdit1, 0, 0, client.right, panelTop, TRUE);
    MoveWindow(Panel1, 0, panelTop, client.right, panelHeight, TRUE);
    MoveWindow(BitBtn1, Scaled(close.left), panelTop + Scaled(close.top), Scaled(close.width),
               Scaled(close.height), TRUE);
}

bool THelpForm::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    if (message == WM_SIZE) {
        PlaceControls();
        return false;
    }
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        RECT panel = item->rcItem;
        FillRect(item->hDC, &panel, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(item->hDC, &panel, BDR_RAISEDINNER, BF_RECT);
        result = TRUE;
        return true;
    }
    return false;
}

// Esc closes the window wherever the focus is (the form's action); Tab leaves the text rather
// than going into it.
bool THelpForm::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN || !IsChild(Handle(), message.hwnd)) {
        return false;
    }
    if (message.wParam == VK_ESCAPE) {
        Close();
        return true;
    }
    if (message.wParam == VK_TAB && message.hwnd == RichEdit1) {
        SendMessageW(Handle(), WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, FALSE);
        return true;
    }
    return false;
}

void ShowHelp(HWND owner) {
    THelpForm form(owner);
    form.ShowModal();
}

}  // namespace velmora
