// The Windows help window under Wine: its layout, the 38 lines in Times New Roman with the title
// bold and underlined and the five headings bold, the selection left unseen on the last heading,
// Esc and Close, and a new text at every showing.

#include "ui/win32/help.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/windows/WideText.h"
#include "tests/fixtures/windows/WindowTest.h"
#include "ui/common/HelpText.h"

namespace velmora {
namespace {

using test::Do;
using test::Script;

// The text as the control holds it, one entry a paragraph.
std::vector<std::wstring> Paragraphs(HWND edit) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto length = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                  nullptr};
    SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    std::vector<std::wstring> paragraphs(1);
    for (wchar_t c : text) {
        if (c == L'\r') {
            paragraphs.emplace_back();
        } else if (c != L'\n') {
            paragraphs.back() += c;
        }
    }
    return paragraphs;
}

struct LineStyle {
    bool bold = false;
    bool underlined = false;
    bool uniform = false;
    std::wstring face;
    LONG height = 0;
};

// The style of each line, read a line at a time from the control's own positions.
std::vector<LineStyle> Styles(HWND edit) {
    CHARRANGE kept{};
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    std::vector<LineStyle> styles;
    LONG start = 0;
    for (const std::wstring& line : Paragraphs(edit)) {
        CHARRANGE range{start, start + static_cast<LONG>(line.size())};
        SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        styles.push_back({(format.dwEffects & CFE_BOLD) != 0,
                          (format.dwEffects & CFE_UNDERLINE) != 0,
                          (format.dwMask & (CFM_BOLD | CFM_UNDERLINE | CFM_FACE)) ==
                              (CFM_BOLD | CFM_UNDERLINE | CFM_FACE),
                          format.szFaceName, format.yHeight});
        start = range.cpMax + 1;
    }
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    return styles;
}

class HelpTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { test::UseOwnDesktop(); }

    // Opens the help window as the help button does, runs `steps` in it and closes it with
    // `closing` (a step), which must do it.
    void OpenWith(std::vector<Script::Step> steps, Script::Step closing) {
        steps.insert(steps.begin(), [this] {
            form = FindWindowW(L"#32770", L"Program help");
            return form != nullptr && IsWindowVisible(form) && GetFocus() != nullptr;
        });
        steps.push_back(std::move(closing));
        Script script(std::move(steps));
        ShowHelp(nullptr);
        EXPECT_TRUE(script.Done());
        EXPECT_FALSE(IsWindow(form)) << "a new window for every showing";
    }
    HWND Edit() const { return GetDlgItem(form, THelpForm::RichEdit1Id); }
    HWND Close() const { return GetDlgItem(form, THelpForm::BitBtn1Id); }
    Script::Step Key(UINT key) {
        return Do([key] { test::PressKey(key); });
    }

    HWND form = nullptr;
};

TEST_F(HelpTest, LayoutAndFocusAsDesigned) {
    RECT client{};
    RECT panel{}, close{}, edit{};
    HWND focus = nullptr, closeButton = nullptr;
    LONG_PTR style = 0, editStyle = 0;
    std::string caption;
    OpenWith({Do([&] {
                 GetClientRect(form, &client);
                 panel = test::PlaceInParent(GetDlgItem(form, THelpForm::Panel1Id));
                 close = test::PlaceInParent(Close());
                 edit = test::PlaceInParent(Edit());
                 caption = test::TextOf(Close());
                 focus = GetFocus();
                 closeButton = Close();
                 style = GetWindowLongPtrW(form, GWL_STYLE);
                 editStyle = GetWindowLongPtrW(Edit(), GWL_STYLE);
             })},
             Key(VK_ESCAPE));
    EXPECT_EQ(client.right, 525);
    EXPECT_EQ(client.bottom, 453);
    EXPECT_EQ(panel.top, 416);
    EXPECT_EQ(panel.bottom - panel.top, 37);
    EXPECT_EQ(panel.right, 525);
    EXPECT_EQ(close.left, 225);
    EXPECT_EQ(close.top, 416 + 6);
    EXPECT_EQ(close.right - close.left, 75);
    EXPECT_EQ(close.bottom - close.top, 25);
    EXPECT_EQ(edit.right, 525);
    EXPECT_EQ(edit.bottom, 416);
    EXPECT_EQ(caption, "&Close");
    EXPECT_EQ(focus, closeButton) << "Close has the focus";
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME) << "not resizable";
    EXPECT_TRUE(editStyle & WS_VSCROLL);
    EXPECT_TRUE(editStyle & ES_MULTILINE);
    EXPECT_FALSE(editStyle & (WS_HSCROLL | ES_AUTOHSCROLL | ES_READONLY)) << "wraps, editable";
}

TEST_F(HelpTest, TheLinesInTheirStylesWithTheSelectionOnTheLastHeading) {
    std::vector<std::wstring> paragraphs;
    std::vector<LineStyle> styles;
    CHARRANGE selection{};
    LRESULT firstLine = -1;
    bool closeFocused = false;
    OpenWith({Do([&] {
                 closeFocused = GetFocus() == Close();
                 SendMessageW(Edit(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
                 firstLine = SendMessageW(Edit(), EM_GETFIRSTVISIBLELINE, 0, 0);
                 paragraphs = Paragraphs(Edit());
                 styles = Styles(Edit());
             })},
             Do([this] { PostMessageW(Close(), BM_CLICK, 0, 0); }));
    EXPECT_TRUE(closeFocused) << "Close has the focus";
    EXPECT_EQ(firstLine, 0) << "the text shows from its start";
    ASSERT_EQ(paragraphs.size(), kHelpLines.size());
    ASSERT_EQ(styles.size(), kHelpLines.size());
    LONG lastHeading = 0;
    for (std::size_t i = 0; i < kHelpLines.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const int line = static_cast<int>(i) + 1;
        EXPECT_EQ(Narrow(paragraphs[i]), kHelpLines[i]);
        const bool heading =
            std::find(kHeadingLines.begin(), kHeadingLines.end(), line) != kHeadingLines.end();
        if (line < kHeadingLines.back()) {
            lastHeading += static_cast<LONG>(paragraphs[i].size()) + 1;
        }
        if (paragraphs[i].empty()) {
            continue;
        }
        EXPECT_TRUE(styles[i].uniform) << "one style over the whole line";
        EXPECT_EQ(styles[i].bold, line == kTitleLine || heading);
        EXPECT_EQ(styles[i].underlined, line == kTitleLine);
        EXPECT_EQ(styles[i].face, L"Times New Roman");
        EXPECT_EQ(styles[i].height, 240) << "12 point";
    }
    EXPECT_EQ(selection.cpMin, lastHeading);
    EXPECT_EQ(selection.cpMax,
              lastHeading + static_cast<LONG>(paragraphs[kHeadingLines.back() - 1].size()));
}

TEST_F(HelpTest, EscInTheTextClosesAndWhatWasTypedIsGoneNextTime) {
    std::vector<std::wstring> typed;
    bool tabLeftTheText = false;
    OpenWith({Do([this] {
                  SendMessageW(form, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Edit()), TRUE);
                  SendMessageW(Edit(), EM_SETSEL, 0, 0);
              }),
              Do([] { test::TypeText(L"typed "); }), Key(VK_TAB), Do([&] {
                  typed = Paragraphs(Edit());
                  tabLeftTheText = GetFocus() == Close();
              })},
             Do([this] {
                 SendMessageW(form, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Edit()), TRUE);
                 test::PressKey(VK_ESCAPE);
             }));
    ASSERT_FALSE(typed.empty());
    EXPECT_EQ(Narrow(typed[0]), std::string("typed ") + kHelpLines[0]) << "editable";
    EXPECT_TRUE(tabLeftTheText) << "Tab goes on to Close rather than into the text";

    std::vector<std::wstring> again;
    std::vector<LineStyle> styles;
    OpenWith({Do([&] {
                 again = Paragraphs(Edit());
                 styles = Styles(Edit());
             })},
             Key(VK_ESCAPE));
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(Narrow(again[0]), kHelpLines[0]);
    ASSERT_FALSE(styles.empty());
    EXPECT_TRUE(styles[0].bold && styles[0].underlined) << "the same formatting again";
}

}  // namespace
}  // namespace velmora
