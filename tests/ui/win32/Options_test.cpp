// The Windows options dialog under Wine: its controls at the form data's places and in its tab
// order, the interval field's key filter, OK's check of the interval, and how each way out leaves
// WasAccepted; the modal showing through the dialog keyboard.

#include "ui/win32/Options.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/fixtures/windows/WindowTest.h"

namespace velmora {
namespace {

using test::Do;
using test::Script;

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

class OptionsTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { test::UseOwnDesktop(); }

    void SetUp() override {
        form = std::make_unique<TOptionsForm>();
        form->LoadOptions(false, false, false, "one|two");
    }

    // Shows the dialog as the options command does, running `steps` inside its modal loop; a
    // last step cancels it, should the steps have left it open.
    void ShowWith(std::vector<Script::Step> steps) {
        // Keys go to the focus: not before the dialog has it.
        steps.insert(steps.begin(), [this] { return IsChild(form->Handle(), GetFocus()); });
        steps.push_back(Do([this] {
            if (IsWindowVisible(form->Handle())) {
                PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
            }
        }));
        Script script(std::move(steps));
        form->ShowModal();
        EXPECT_FALSE(script.Stuck());
    }

    static Script::Step Type(const std::wstring& text) {
        return Do([text] { test::TypeText(text); });
    }
    static Script::Step Press(UINT key) {
        return Do([key] { test::PressKey(key); });
    }
    // Steps on a control of the form shown when they run.
    Script::Step Focus(HWND TOptionsForm::*control) {
        return Do([this, control] {
            SendMessageW(form->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>((*form).*control),
                         TRUE);
        });
    }
    Script::Step Click(HWND TOptionsForm::*control) {
        return Do([this, control] { PostMessageW((*form).*control, BM_CLICK, 0, 0); });
    }
    // Once the message box came and went.
    Script::Step BoxPressed(std::size_t count = 1) {
        return [this, count] { return boxes.texts.size() >= count; };
    }

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
        {form->OKButton, "OK", {444, 13, 519, 38}},
        {form->CancelButton, "Cancel", {444, 46, 519, 71}},
        {form->GeneralBox, " General ", {8, 8, 233, 137}},
        {form->MinimizeBox, "&minimize on start", {20, 25, 117, 42}},
        {form->AutorunBox, "&autorun", {20, 44, 85, 61}},
        {form->CheckBox1, "synchronize every", {20, 63, 133, 80}},
        {form->Edit1, "", {128, 61, 158, 82}},
        {form->RadioButton1, "display GMT", {20, 96, 133, 113}},
        {form->RadioButton2, "display local time", {20, 112, 133, 129}},
        {form->TimeSrvGroup, " Time servers ", {240, 8, 432, 137}},
        {form->TimeSrvMemo, "one\r\ntwo", {251, 32, 419, 105}},
        {form->NextOnFailBox, "try next server on connect fail", {253, 112, 417, 129}},
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
    GetWindowRect(form->ComboBox1, &closed);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&closed), 2);
    EXPECT_EQ(closed.left, 160);
    EXPECT_EQ(closed.top, 61);
    EXPECT_EQ(closed.right - closed.left, 65);
    EXPECT_EQ(closed.bottom - closed.top, 21);
    EXPECT_EQ(GetWindowLongPtrW(form->ComboBox1, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    ASSERT_EQ(SendMessageW(form->ComboBox1, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(form->ComboBox1ItemIndex(), 0) << "hours";
    // The memo wraps and has no scroll bars; the interval field takes three characters.
    const LONG_PTR memo = GetWindowLongPtrW(form->TimeSrvMemo, GWL_STYLE);
    EXPECT_TRUE(memo & ES_MULTILINE);
    EXPECT_TRUE(memo & ES_WANTRETURN);
    EXPECT_FALSE(memo & (WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL));
    EXPECT_EQ(SendMessageW(form->Edit1, EM_GETLIMITTEXT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(form->Handle(), DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
}

TEST_F(OptionsTest, TabOrderAsDesignedWithTheCheckedRadioButton) {
    form->SetCheckBox1Checked(true);
    std::vector<HWND> order;
    ShowWith({Do([&] {
        HWND at = GetFocus();
        do {
            order.push_back(at);
            at = GetNextDlgTabItem(form->Handle(), at, FALSE);
        } while (at != nullptr && at != order.front() && order.size() < 20);
    })});
    const std::vector<HWND> expected = {form->OKButton,     form->CancelButton, form->MinimizeBox,
                                        form->AutorunBox,   form->CheckBox1,    form->Edit1,
                                        form->ComboBox1,    form->RadioButton1, form->TimeSrvMemo,
                                        form->NextOnFailBox};
    EXPECT_EQ(order, expected) << "the focus starts on OK";

    // The other radio button checked: Tab stops there instead.
    form->SetRadioButton2Checked(true);
    order.clear();
    ShowWith(
        {Do([&] { order.push_back(GetNextDlgTabItem(form->Handle(), form->ComboBox1, FALSE)); })});
    EXPECT_EQ(order, std::vector<HWND>{form->RadioButton2});
}

TEST_F(OptionsTest, IntervalFieldTakesOnlyDigitsUpToThree) {
    const auto type = [this](const std::wstring& text) {
        for (wchar_t c : text) {
            SendMessageW(form->Edit1, WM_CHAR, c, 1);
        }
        return form->Edit1Text();
    };
    EXPECT_EQ(type(L"a1 -b2.x"), "12");
    EXPECT_EQ(type(L"34"), "123") << "a fourth digit is refused";
    EXPECT_EQ(type(L"\b"), "12") << "Backspace passes";

    // A stored interval shows whole; typing cannot make it longer, but shortened it takes digits.
    form->SetEdit1Text("1440");
    SendMessageW(form->Edit1, EM_SETSEL, 4, 4);
    EXPECT_EQ(type(L"5"), "1440");
    EXPECT_EQ(type(L"\b9"), "144");
}

TEST_F(OptionsTest, OkValidatesTheIntervalOnlyWhenPeriodicSyncIsOn) {
    struct Case {
        bool periodic;
        const char* text;
        int unit;
        bool accepted;
    };
    const Case cases[] = {
        {false, "", 0, true},      {true, "", 0, false},    {true, "0", 0, true},
        {true, "596", 0, true},    {true, "597", 0, false}, {true, "999", 1, true},
        {true, "4h", 1, false},    {true, " 7", 1, true},   {false, "abc", 0, true},
        {true, "35792", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " unit " + std::to_string(c.unit));
        form = std::make_unique<TOptionsForm>();
        boxes.texts.clear();
        form->SetCheckBox1Checked(c.periodic);
        form->SetComboBox1ItemIndex(c.unit);
        form->SetEdit1Text(c.text);
        bool openAfterBox = false;
        std::vector<Script::Step> steps = {Click(&TOptionsForm::OKButton)};
        if (!c.accepted) {
            steps.push_back(BoxPressed());
            steps.push_back(Do([&] { openAfterBox = IsWindowVisible(form->Handle()); }));
        }
        ShowWith(steps);
        EXPECT_EQ(form->WasAccepted(), c.accepted);
        EXPECT_EQ(boxes.texts.size(), c.accepted ? 0u : 1u);
        if (!c.accepted) {
            EXPECT_EQ(boxes.texts[0],
                      "Please enter a valid time interval for periodic synchronization.");
            EXPECT_EQ(boxes.titles[0], "Velmora");
            EXPECT_TRUE(openAfterBox) << "the dialog stays open";
            EXPECT_EQ(form->Edit1Text(), c.text) << "edits stay intact";
        }
    }
}

TEST_F(OptionsTest, PastedTextIsCaughtByOkAndEnterPressesIt) {
    form->SetCheckBox1Checked(true);
    ShowWith({Focus(&TOptionsForm::Edit1), Do([this] {
                  SendMessageW(form->Edit1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
                  SendMessageW(form->Edit1, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"4h"));
              }),
              Press(VK_RETURN), BoxPressed(), Focus(&TOptionsForm::Edit1), Press(VK_BACK),
              Press(VK_BACK), Type(L"5"), Press(VK_RETURN)});
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_TRUE(form->WasAccepted()) << "Enter in the field presses the default button";
    EXPECT_EQ(form->Edit1Text(), "5");
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(OptionsTest, EscapeCancelAndCloseBoxLeaveItNotAccepted) {
    // The form's controls are looked up when a step runs: each case has a form of its own.
    const std::vector<std::pair<const char*, std::vector<Script::Step>>> cases = {
        {"Esc", {Press(VK_ESCAPE)}},
        {"Enter on the focused Cancel", {Focus(&TOptionsForm::CancelButton), Press(VK_RETURN)}},
        {"Cancel clicked", {Click(&TOptionsForm::CancelButton)}},
        {"the close box",
         {Do([this] { PostMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); })}},
        {"Esc in the memo", {Focus(&TOptionsForm::TimeSrvMemo), Press(VK_ESCAPE)}},
    };
    for (const auto& [way, steps] : cases) {
        SCOPED_TRACE(way);
        form = std::make_unique<TOptionsForm>();
        form->SetCheckBox1Checked(true);
        std::vector<Script::Step> all = steps;
        all.push_back([this] { return !IsWindowVisible(form->Handle()); });
        ShowWith(std::move(all));
        EXPECT_FALSE(form->WasAccepted());
        EXPECT_TRUE(boxes.texts.empty()) << "no interval check on the way out";
    }
}

TEST_F(OptionsTest, ModalShowingStartsOnOkCentredOverTheOwner) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       100, 50, 700, 500, nullptr, nullptr, nullptr, nullptr);
    form = std::make_unique<TOptionsForm>(owner);
    form->SetCheckBox1Checked(false);
    HWND focused = nullptr;
    bool editEnabled = true;
    bool ownerEnabled = true;
    RECT mine{};
    ShowWith({Do([&] {
        focused = GetFocus();
        editEnabled = IsWindowEnabled(form->Edit1);
        ownerEnabled = IsWindowEnabled(owner);
        GetWindowRect(form->Handle(), &mine);
        PostMessageW(form->CancelButton, BM_CLICK, 0, 0);
    })});
    EXPECT_EQ(focused, form->OKButton);
    EXPECT_FALSE(editEnabled) << "the check box handler ran on showing";
    EXPECT_FALSE(ownerEnabled) << "modal: the owner waits";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "and comes back";
    EXPECT_LE(std::abs((mine.left + mine.right) / 2 - 450), 2);
    EXPECT_LE(std::abs((mine.top + mine.bottom) / 2 - 300), 2);
    form.reset();
    DestroyWindow(owner);
}

TEST_F(OptionsTest, AcceleratorsAndTheMinimizeRule) {
    const auto alt = [](wchar_t letter) { return Do([letter] { test::PressAlt(letter); }); };
    bool minimize = false, autorunWithIt = false, autorunAlone = true;
    ShowWith({alt(L'm'), Do([&] {
                  minimize = form->MinimizeBox != nullptr &&
                             SendMessageW(form->MinimizeBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
                  autorunWithIt = form->AutorunBoxChecked();
              }),
              alt(L'a'), Do([&] { autorunAlone = form->AutorunBoxChecked(); }), alt(L'a'),
              alt(L'm')});
    EXPECT_TRUE(minimize);
    EXPECT_TRUE(autorunWithIt) << "minimize on start ticks autorun";
    EXPECT_FALSE(autorunAlone) << "autorun can be cleared on its own";
    EXPECT_TRUE(form->AutorunBoxChecked()) << "clearing minimize leaves autorun";
    bool m = true, a = false, n = true;
    std::string list;
    form->ReadOptions(m, a, n, list);
    EXPECT_FALSE(m);
}

TEST_F(OptionsTest, CheckBox1AndTheRadioPair) {
    form->SetCheckBox1Checked(true);
    EXPECT_TRUE(IsWindowEnabled(form->Edit1));
    EXPECT_TRUE(IsWindowEnabled(form->ComboBox1));
    form->SetCheckBox1Checked(false);
    EXPECT_FALSE(IsWindowEnabled(form->Edit1)) << "setting it from code runs the same handler";
    EXPECT_FALSE(IsWindowEnabled(form->ComboBox1));

    form->SetRadioButton1Checked(false);
    EXPECT_TRUE(form->RadioButton2Checked());
    form->SetRadioButton2Checked(false);
    EXPECT_TRUE(form->RadioButton1Checked());
    EXPECT_FALSE(form->RadioButton2Checked());
    SendMessageW(form->RadioButton2, BM_CLICK, 0, 0);
    SendMessageW(form->RadioButton2, BM_CLICK, 0, 0);
    EXPECT_TRUE(form->RadioButton2Checked()) << "clicking the checked one keeps it";
    EXPECT_FALSE(form->RadioButton1Checked());
}

TEST_F(OptionsTest, LoadAndReadBackRoundTripsAndTypedLinesJoinWithBars) {
    struct Case {
        bool minimize, autorun, next;
        std::string list;
    };
    const Case cases[] = {{true, false, true, "a.example||b.example"},
                          {false, true, false, ""},
                          {false, false, true, " spaced | x |"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        form = std::make_unique<TOptionsForm>();
        form->LoadOptions(c.minimize, c.autorun, c.next, c.list);
        bool minimize = !c.minimize, autorun = !c.autorun, next = !c.next;
        std::string list = "unchanged";
        form->ReadOptions(minimize, autorun, next, list);
        EXPECT_EQ(minimize, c.minimize);
        EXPECT_EQ(autorun, c.autorun) << "the loaded autorun value shows, not the ticked one";
        EXPECT_EQ(next, c.next);
        EXPECT_EQ(list, c.list);
    }

    std::string typed;
    ShowWith(
        {Focus(&TOptionsForm::TimeSrvMemo), Do([this] { SetWindowTextW(form->TimeSrvMemo, L""); }),
         Type(L"first.example"), Press(VK_RETURN), Press(VK_RETURN),
         Type(L"a-rather-long-host-name.that.wraps.in.the.memo.example"), Press(VK_RETURN), Do([&] {
             bool m, a, n;
             form->ReadOptions(m, a, n, typed);
         })});
    EXPECT_EQ(typed, "first.example||a-rather-long-host-name.that.wraps.in.the.memo.example");
    EXPECT_FALSE(form->WasAccepted()) << "Enter in the memo is a new line, not OK";
}

}  // namespace
}  // namespace velmora
