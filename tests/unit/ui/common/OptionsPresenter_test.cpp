// The options dialog's rules over a fake front end: what each click and OK decide, how the values
// fill the controls and come back.

#include "ui/common/OptionsPresenter.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/common/FormTexts.h"
#include "ui/common/OptionsForm.h"

namespace velmora {
namespace {

struct FakeControl {
    bool checked = false;
    std::string text;
    int index = 0;
    bool enabled = true;
};

// The controls as plain state; the user is a script run while the dialog is "shown".
class FakeOptionsFrontEnd : public FormFrontEnd {
  public:
    bool Checked(int id) const override { return controls[id].checked; }
    void SetChecked(int id, bool checked) override { controls[id].checked = checked; }
    std::string Text(int id) const override { return controls[id].text; }
    void SetText(int id, const std::string& text) override { controls[id].text = text; }
    int ItemIndex(int id) const override { return controls[id].index; }
    void SetItemIndex(int id, int index) override { controls[id].index = index; }
    void SetEnabled(int id, bool enabled) override { controls[id].enabled = enabled; }
    void Focus(int id) override { focus = id; }
    void SetHeight(int value) override { height = value; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void RunModal() override {
        open = true;
        if (user) {
            user();
        }
        open = false;
    }
    void Close() override { open = false; }

    // A click as a toolkit makes it: a check box turns over, a radio button is checked.
    void Click(int id) {
        const bool radio = id == kRadioButton1Id || id == kRadioButton2Id;
        if (id != kOKButtonId && id != kCancelButtonId) {
            controls[id].checked = radio || !controls[id].checked;
        }
        presenter->Clicked(id);
    }

    mutable std::map<int, FakeControl> controls;
    std::vector<std::string> messages;
    std::function<void()> user;
    OptionsPresenter* presenter = nullptr;
    int focus = 0;
    int height = 0;
    bool open = false;
};

class OptionsPresenterTest : public testing::Test {
  protected:
    void SetUp() override { form.presenter = &presenter; }

    FakeOptionsFrontEnd form;
    OptionsPresenter presenter{form};
    OptionsValues shown = [] {
        OptionsValues values;
        values.ServerList = "one|two";
        values.IntervalText = "1";
        return values;
    }();
};

TEST_F(OptionsPresenterTest, OkChecksTheIntervalOnlyWhenPeriodicSyncIsOn) {
    struct Case {
        bool periodic;
        const char* text;
        bool hours;
        bool accepted;
    };
    const Case cases[] = {
        {false, "", true, true},    {true, "", true, false},       {true, "0", true, true},
        {true, "596", true, true},  {true, "597", true, false},    {true, "999", true, false},
        {true, "999", false, true}, {true, "-5", false, false},    {true, " 7", false, true},
        {false, "abc", true, true}, {true, "35792", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        form.messages.clear();
        shown.PeriodicSync = c.periodic;
        shown.IntervalInHours = c.hours;
        shown.IntervalText = c.text;
        bool stayed = false;
        form.user = [&] {
            form.Click(kOKButtonId);
            stayed = form.open;
        };
        const std::optional<OptionsValues> confirmed = presenter.Edit(shown);
        EXPECT_EQ(confirmed.has_value(), c.accepted);
        EXPECT_EQ(stayed, !c.accepted) << "a refused OK leaves the dialog open";
        const std::vector<std::string> refusal = {kBadIntervalMessage};
        EXPECT_EQ(form.messages, c.accepted ? std::vector<std::string>{} : refusal);
    }
}

TEST_F(OptionsPresenterTest, ARefusedOkKeepsTheEditsAndAFixedOneConfirmsThem) {
    shown.PeriodicSync = true;
    shown.IntervalText = "4h";
    form.user = [&] {
        form.Click(kOKButtonId);
        EXPECT_EQ(form.Text(kEdit1Id), "4h");
        form.SetText(kEdit1Id, "4");
        form.Click(kOKButtonId);
    };
    const std::optional<OptionsValues> confirmed = presenter.Edit(shown);
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(confirmed->IntervalText, "4");
    EXPECT_EQ(form.messages.size(), 1u);
}

TEST_F(OptionsPresenterTest, CancelAndTheCloseBoxGiveNothingBack) {
    form.user = [&] {
        form.Click(kMinimizeBoxId);
        form.Click(kCancelButtonId);
        EXPECT_FALSE(form.open);
    };
    EXPECT_FALSE(presenter.Edit(shown));
    form.user = [&] { form.Click(kAutorunBoxId); };  // then Esc: the loop ends on its own
    EXPECT_FALSE(presenter.Edit(shown));
}

TEST_F(OptionsPresenterTest, ValuesComeBackAsShownWhateverTheServerList) {
    // `memo` is what the memo shows: an empty entry at the end of the list needs a line of its
    // own, as a memo's final empty line reads back as nothing.
    struct Case {
        OptionsValues values;
        const char* memo;
    };
    const Case cases[] = {
        {{true, false, true, "a.example||b.example", true, false, "12", true, ""},
         "a.example\n\nb.example"},
        {{false, true, false, "", false, true, "0", false, ""}, ""},
        {{false, false, true, " spaced | x |", true, true, "14", true, ""}, " spaced \n x \n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values.ServerList);
        form.user = [&] {
            EXPECT_EQ(form.Text(kTimeSrvMemoId), c.memo);
            form.Click(kOKButtonId);
        };
        EXPECT_EQ(presenter.Edit(c.values), c.values)
            << "minimize on start ticks autorun, and the loaded autorun still shows";
    }
    form.user = [&] {
        form.SetText(kTimeSrvMemoId, "first\r\n\r\nsecond\r\n");
        form.Click(kOKButtonId);
    };
    EXPECT_EQ(presenter.Edit(shown)->ServerList, "first||second")
        << "Enter after the last host adds no entry";
}

TEST_F(OptionsPresenterTest, ClicksKeepTheControlsConsistent) {
    shown.PeriodicSync = false;
    form.user = [&] {
        EXPECT_EQ(form.focus, kOKButtonId) << "the keyboard starts on OK";
        EXPECT_FALSE(form.controls[kEdit1Id].enabled) << "on showing, as the box says";
        EXPECT_FALSE(form.controls[kComboBox1Id].enabled);
        form.Click(kCheckBox1Id);
        EXPECT_TRUE(form.controls[kEdit1Id].enabled);
        EXPECT_TRUE(form.controls[kComboBox1Id].enabled);

        form.Click(kMinimizeBoxId);
        EXPECT_TRUE(form.Checked(kAutorunBoxId)) << "minimize on start ticks autorun";
        form.Click(kAutorunBoxId);
        EXPECT_FALSE(form.Checked(kAutorunBoxId)) << "autorun can be cleared on its own";
        form.Click(kAutorunBoxId);
        form.Click(kMinimizeBoxId);
        EXPECT_TRUE(form.Checked(kAutorunBoxId)) << "clearing minimize leaves autorun";

        form.Click(kRadioButton2Id);
        EXPECT_FALSE(form.Checked(kRadioButton1Id));
        form.Click(kRadioButton2Id);
        EXPECT_TRUE(form.Checked(kRadioButton2Id)) << "clicking the checked one keeps it";
        EXPECT_FALSE(form.Checked(kRadioButton1Id));
        form.Click(kRadioButton1Id);
        EXPECT_FALSE(form.Checked(kRadioButton2Id));
        form.Click(kOKButtonId);
    };
    const std::optional<OptionsValues> confirmed = presenter.Edit(shown);
    ASSERT_TRUE(confirmed);
    EXPECT_TRUE(confirmed->PeriodicSync);
    EXPECT_FALSE(confirmed->DisplayLocalTime);
}

// The machine's fields (server list, period, "synchronize every") shown to a user who may not
// change them: read-only whatever is clicked, one line saying why, and back as they were shown;
// what is the user's own stays the user's.
TEST_F(OptionsPresenterTest, TheMachinesFieldsAreReadOnlyWithTheReasonShown) {
    const struct {
        const char* reason;
        bool periodic;
    } cases[] = {{"", true},
                 {"Set for the whole computer by an administrator", true},
                 {"Set for the whole computer by an administrator", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const bool owned = *c.reason != '\0';
        shown.MachineOwnedReason = c.reason;
        shown.PeriodicSync = c.periodic;
        shown.IntervalText = "abc";  // not this user's to mend when it is the machine's
        form.messages.clear();
        form.user = [&] {
            EXPECT_EQ(form.Text(kMachineLineId), c.reason);
            // The line takes room only when it has something to say.
            EXPECT_EQ(form.height, owned ? 160 : 141);
            for (const int id : {kTimeSrvMemoId, kCheckBox1Id, kEdit1Id, kComboBox1Id}) {
                EXPECT_EQ(form.controls[id].enabled,
                          !owned && (id == kTimeSrvMemoId || id == kCheckBox1Id || c.periodic))
                    << id;
            }
            EXPECT_TRUE(form.controls[kMinimizeBoxId].enabled);
            EXPECT_TRUE(form.controls[kNextOnFailBoxId].enabled);
            form.presenter->Clicked(kCheckBox1Id);
            EXPECT_EQ(form.controls[kEdit1Id].enabled, !owned && c.periodic);
            form.Click(kMinimizeBoxId);
            if (!owned) {
                form.SetText(kEdit1Id, "2");
            }
            form.Click(kOKButtonId);
        };
        const std::optional<OptionsValues> confirmed = presenter.Edit(shown);
        ASSERT_TRUE(confirmed);
        EXPECT_TRUE(form.messages.empty());
        EXPECT_EQ(confirmed->MachineOwnedReason, c.reason);
        EXPECT_EQ(confirmed->ServerList, shown.ServerList);
        EXPECT_EQ(confirmed->IntervalText, owned ? "abc" : "2");
        EXPECT_TRUE(confirmed->MinimizeOnStart);
    }
}

}  // namespace
}  // namespace velmora
