// The Windows options dialog under Wine: its controls made from the form's description at their
// places and in its tab order, the interval field's key filter, Enter and OK, each way out, the
// modal showing through the dialog keyboard. The rules themselves are the presenter's, tested over
// a fake front end.

#include "ui/win32/Options.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/fixtures/ShownOptions.h"
#include "tests/fixtures/windows/WindowTest.h"
#include "ui/common/HelpForm.h"
#include "ui/common/MainHourForm.h"
#include "ui/common/OptionsForm.h"
#include "ui/win32/FormControls.h"
#include "ui/win32/FormFont.h"
#include "ui/win32/OwnWindow.h"
#include "ui/win32/ScreenPlace.h"

namespace velmora {
namespace {

using test::Do;
using test::Script;

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

using test::ShownOptions;

class OptionsTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { test::UseOwnDesktop(); }

    void SetUp() override {
        form = std::make_unique<TOptionsForm>();
        form->Presenter().Load(shown);
    }

    HWND C(int id) const { return form->Control(id); }
    bool Checked(int id) const { return SendMessageW(C(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    // Shows `shown` as the options command does, running `steps` inside the modal loop; a last
    // step cancels it, should the steps have left it open.
    void ShowWith(std::vector<Script::Step> steps) {
        // Keys go to the focus: not before the dialog has it.
        steps.insert(steps.begin(), [this] { return IsChild(form->Handle(), GetFocus()); });
        steps.push_back(Do([this] {
            if (IsWindowVisible(form->Handle())) {
                PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
            }
        }));
        Script script(std::move(steps));
        confirmed = form->Edit(shown);
        EXPECT_FALSE(script.Stuck());
    }

    static Script::Step Type(const std::wstring& text) {
        return Do([text] { test::TypeText(text); });
    }
    static Script::Step Press(UINT key) {
        return Do([key] { test::PressKey(key); });
    }
    // Steps on a control of the form shown when they run.
    Script::Step Focus(int id) {
        return Do([this, id] {
            SendMessageW(form->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(C(id)), TRUE);
        });
    }
    Script::Step Click(int id) {
        return Do([this, id] { PostMessageW(C(id), BM_CLICK, 0, 0); });
    }
    // Once the message box came and went.
    Script::Step BoxPressed(std::size_t count = 1) {
        return [this, count] { return boxes.texts.size() >= count; };
    }

    OptionsValues shown = ShownOptions(true, "1", "one|two");
    std::optional<OptionsValues> confirmed;
    std::unique_ptr<TOptionsForm> form;
    test::BoxPresser boxes;
};

TEST_F(OptionsTest, ControlsAtTheirPlacesWithTheirCaptions) {
    EXPECT_EQ(test::TextOf(form->Handle()), "Options");
    const SIZE client = ClientSize(form->Handle());
    EXPECT_EQ(client.cx, 530);
    EXPECT_EQ(client.cy, 141);
    const LONG_PTR style = GetWindowLongPtrW(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    struct Case {
        HWND control;
        const char* caption;
        RECT place;
    };
    const Case cases[] = {
        {C(kOKButtonId), "OK", {444, 13, 519, 38}},
        {C(kCancelButtonId), "Cancel", {444, 46, 519, 71}},
        {C(kGeneralBoxId), " General ", {8, 8, 233, 137}},
        {C(kMinimizeBoxId), "&minimize on start", {20, 25, 117, 42}},
        {C(kAutorunBoxId), "&autorun", {20, 44, 85, 61}},
        {C(kCheckBox1Id), "synchronize every", {20, 63, 133, 80}},
        {C(kEdit1Id), "1", {128, 61, 158, 82}},
        {C(kRadioButton1Id), "display GMT", {20, 96, 133, 113}},
        {C(kRadioButton2Id), "display local time", {20, 112, 133, 129}},
        {C(kTimeSrvGroupId), " Time servers ", {240, 8, 432, 137}},
        {C(kTimeSrvMemoId), "one\r\ntwo", {251, 32, 419, 105}},
        {C(kNextOnFailBoxId), "try next server on connect fail", {253, 112, 417, 129}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(test::TextOf(c.control), c.caption);
        const RECT place = test::PlaceInParent(c.control);
        EXPECT_EQ(place.left, c.place.left);
        EXPECT_EQ(place.top, c.place.top);
        EXPECT_EQ(place.right, c.place.right);
        EXPECT_EQ(place.bottom, c.place.bottom);
    }
    // The drop-down list: closed, as high as the form data has it; the two units to pick from.
    RECT closed{};
    GetWindowRect(C(kComboBox1Id), &closed);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&closed), 2);
    EXPECT_EQ(closed.left, 160);
    EXPECT_EQ(closed.top, 61);
    EXPECT_EQ(closed.right - closed.left, 65);
    EXPECT_EQ(closed.bottom - closed.top, 21);
    EXPECT_EQ(GetWindowLongPtrW(C(kComboBox1Id), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    ASSERT_EQ(SendMessageW(C(kComboBox1Id), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(C(kComboBox1Id), CB_GETCURSEL, 0, 0), 0) << "hours";
    // The memo wraps and has no scroll bars; the interval field takes three characters.
    const LONG_PTR memo = GetWindowLongPtrW(C(kTimeSrvMemoId), GWL_STYLE);
    EXPECT_TRUE(memo & ES_MULTILINE);
    EXPECT_TRUE(memo & ES_WANTRETURN);
    EXPECT_FALSE(memo & (WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL));
    EXPECT_EQ(SendMessageW(C(kEdit1Id), EM_GETLIMITTEXT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(form->Handle(), DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
}

TEST_F(OptionsTest, TabOrderAsDesignedWithTheCheckedRadioButton) {
    std::vector<HWND> order;
    ShowWith({Do([&] {
        HWND at = GetFocus();
        do {
            order.push_back(at);
            at = GetNextDlgTabItem(form->Handle(), at, FALSE);
        } while (at != nullptr && at != order.front() && order.size() < 20);
    })});
    const std::vector<HWND> expected = {C(kOKButtonId),     C(kCancelButtonId), C(kMinimizeBoxId),
                                        C(kAutorunBoxId),   C(kCheckBox1Id),    C(kEdit1Id),
                                        C(kComboBox1Id),    C(kRadioButton1Id), C(kTimeSrvMemoId),
                                        C(kNextOnFailBoxId)};
    EXPECT_EQ(order, expected) << "the focus starts on OK";

    // The other radio button checked: Tab stops there instead.
    shown.DisplayLocalTime = true;
    order.clear();
    ShowWith(
        {Do([&] { order.push_back(GetNextDlgTabItem(form->Handle(), C(kComboBox1Id), FALSE)); })});
    EXPECT_EQ(order, std::vector<HWND>{C(kRadioButton2Id)});
}

TEST_F(OptionsTest, IntervalFieldTakesOnlyDigitsUpToThree) {
    form->Presenter().Load(ShownOptions(true, ""));
    const auto type = [this](const std::wstring& text) {
        for (wchar_t c : text) {
            SendMessageW(C(kEdit1Id), WM_CHAR, c, 1);
        }
        return test::TextOf(C(kEdit1Id));
    };
    EXPECT_EQ(type(L"a1 -b2.x"), "12");
    EXPECT_EQ(type(L"34"), "123") << "a fourth digit is refused";
    EXPECT_EQ(type(L"\b"), "12") << "Backspace passes";

    // A stored interval shows whole; typing cannot make it longer, but shortened it takes digits.
    form->Presenter().Load(ShownOptions(true, "1440"));
    SendMessageW(C(kEdit1Id), EM_SETSEL, 4, 4);
    EXPECT_EQ(type(L"5"), "1440");
    EXPECT_EQ(type(L"\b9"), "144");
}

TEST_F(OptionsTest, PastedTextIsCaughtByOkAndEnterPressesIt) {
    ShowWith({Focus(kEdit1Id), Do([this] {
                  SendMessageW(C(kEdit1Id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
                  SendMessageW(C(kEdit1Id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"4h"));
              }),
              Press(VK_RETURN), BoxPressed(), Focus(kEdit1Id), Press(VK_BACK), Press(VK_BACK),
              Type(L"5"), Press(VK_RETURN)});
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_TRUE(confirmed.has_value()) << "Enter in the field presses the default button";
    EXPECT_EQ(test::TextOf(C(kEdit1Id)), "5");
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(OptionsTest, EscapeCancelAndCloseBoxLeaveItNotAccepted) {
    // The form's controls are looked up when a step runs: each case has a form of its own.
    const std::vector<std::pair<const char*, std::vector<Script::Step>>> cases = {
        {"Esc", {Press(VK_ESCAPE)}},
        {"Enter on the focused Cancel", {Focus(kCancelButtonId), Press(VK_RETURN)}},
        {"Cancel clicked", {Click(kCancelButtonId)}},
        {"the close box",
         {Do([this] { PostMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); })}},
        {"Esc in the memo", {Focus(kTimeSrvMemoId), Press(VK_ESCAPE)}},
    };
    for (const auto& [way, steps] : cases) {
        SCOPED_TRACE(way);
        form = std::make_unique<TOptionsForm>();
        std::vector<Script::Step> all = steps;
        all.push_back([this] { return !IsWindowVisible(form->Handle()); });
        ShowWith(std::move(all));
        EXPECT_FALSE(confirmed.has_value());
        EXPECT_TRUE(boxes.texts.empty()) << "no interval check on the way out";
    }
}

TEST_F(OptionsTest, ModalShowingStartsOnOkCentredOverTheOwner) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       100, 50, 700, 500, nullptr, nullptr, nullptr, nullptr);
    form = std::make_unique<TOptionsForm>(owner);
    shown.PeriodicSync = false;
    HWND focused = nullptr;
    bool editEnabled = true;
    bool ownerEnabled = true;
    RECT mine{};
    ShowWith({Do([&] {
        focused = GetFocus();
        editEnabled = IsWindowEnabled(C(kEdit1Id));
        ownerEnabled = IsWindowEnabled(owner);
        GetWindowRect(form->Handle(), &mine);
        PostMessageW(C(kCancelButtonId), BM_CLICK, 0, 0);
    })});
    EXPECT_EQ(focused, C(kOKButtonId));
    EXPECT_FALSE(editEnabled) << "the check box handler ran on showing";
    EXPECT_FALSE(ownerEnabled) << "modal: the owner waits";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "and comes back";
    EXPECT_LE(std::abs((mine.left + mine.right) / 2 - 450), 2);
    EXPECT_LE(std::abs((mine.top + mine.bottom) / 2 - 300), 2);
    form.reset();
    DestroyWindow(owner);
}

// A window near an edge, or larger than the screen, stays whole on it as far as it fits.
TEST(ScreenPlace, CentredWindowsStayOnTheWorkArea) {
    const RECT area{0, 0, 1000, 700};
    const struct {
        RECT over;
        SIZE size;
        POINT expected;
    } cases[] = {{{100, 50, 800, 550}, {300, 200}, {300, 200}},
                 {{800, 600, 1000, 700}, {300, 200}, {700, 500}},
                 {{-200, -100, 0, 0}, {300, 200}, {0, 0}},
                 {area, {1200, 900}, {0, 0}}};
    for (const auto& c : cases) {
        const POINT at = CentredIn(c.over, c.size, area);
        EXPECT_EQ(at.x, c.expected.x);
        EXPECT_EQ(at.y, c.expected.y);
    }
}

// Each form's controls are made as laying them out at the same DPI leaves them: at their places,
// in the form's font where they take one. A control that resizes itself as it is made (an etched
// line takes an edge) is put back.
TEST(FormControls, MadeAsTheLayoutLeavesThem) {
    constexpr UINT kDpi = 144;
    const HFONT font = CreateFormFont(kDpi);
    const auto state = [](HWND child) {
        return std::pair{test::PlaceInParent(child),
                         reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))};
    };
    for (const FormDescription* form :
         {&MainHourFormDescription(), &OptionsFormDescription(), &HelpFormDescription()}) {
        SCOPED_TRACE(form->name);
        OwnWindow parent(WindowLook{.className = L"Velmora.FormControlsTest", .style = WS_POPUP});
        CreateFormControls(parent.Handle(), *form, kDpi, font);
        std::vector<std::pair<RECT, HFONT>> made;
        for (const ControlDescription& control : form->controls) {
            const HWND child = GetDlgItem(parent.Handle(), control.id);
            ASSERT_NE(child, nullptr) << control.name;
            made.push_back(state(child));
        }
        for (const ControlDescription& control : form->controls) {
            if (control.kind == ControlKind::RichText) {
                RECT wraps{}, inside{};
                const HWND child = GetDlgItem(parent.Handle(), control.id);
                SendMessageW(child, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&wraps));
                GetClientRect(child, &inside);
                EXPECT_LE(wraps.right, inside.right)
                    << control.name << "'s text runs under its edge";
            }
        }
        LayOutFormControls(parent.Handle(), *form, kDpi, font);
        for (std::size_t i = 0; i < made.size(); ++i) {
            const auto laid = state(GetDlgItem(parent.Handle(), form->controls[i].id));
            EXPECT_TRUE(EqualRect(&made[i].first, &laid.first)) << form->controls[i].name;
            EXPECT_EQ(made[i].second, laid.second) << form->controls[i].name;
        }
    }
    DeleteObject(font);
}

TEST_F(OptionsTest, AcceleratorsClickTheirBoxes) {
    const auto alt = [](wchar_t letter) { return Do([letter] { test::PressAlt(letter); }); };
    bool minimize = false, autorunWithIt = false, autorunAlone = true;
    ShowWith({alt(L'm'), Do([&] {
                  minimize = C(kMinimizeBoxId) != nullptr &&
                             SendMessageW(C(kMinimizeBoxId), BM_GETCHECK, 0, 0) == BST_CHECKED;
                  autorunWithIt = Checked(kAutorunBoxId);
              }),
              alt(L'a'), Do([&] { autorunAlone = Checked(kAutorunBoxId); }), alt(L'a'), alt(L'm')});
    EXPECT_TRUE(minimize);
    EXPECT_TRUE(autorunWithIt) << "minimize on start ticks autorun";
    EXPECT_FALSE(autorunAlone) << "autorun can be cleared on its own";
    EXPECT_TRUE(Checked(kAutorunBoxId)) << "clearing minimize leaves autorun";
    EXPECT_FALSE(Checked(kMinimizeBoxId));
}

TEST_F(OptionsTest, TypedServerLinesAreTheMemosLinesNotItsRows) {
    std::string typed;
    ShowWith({Focus(kTimeSrvMemoId), Do([this] { SetWindowTextW(C(kTimeSrvMemoId), L""); }),
              Type(L"first.example"), Press(VK_RETURN), Press(VK_RETURN),
              Type(L"a-rather-long-host-name.that.wraps.in.the.memo.example"), Press(VK_RETURN),
              Do([&] { typed = form->Presenter().Read().ServerList; })});
    EXPECT_EQ(typed, "first.example||a-rather-long-host-name.that.wraps.in.the.memo.example");
    EXPECT_FALSE(confirmed.has_value()) << "Enter in the memo is a new line, not OK";
}

}  // namespace
}  // namespace velmora
