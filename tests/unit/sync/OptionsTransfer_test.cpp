#include <initializer_list>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Path.h"
#include "tests/fixtures/FakeMainWindow.h"

namespace velmora {
namespace {

// A path from the root with the platform's separator: {"opt", "velmora"} is /opt/velmora.
std::string RootPath(std::initializer_list<const char*> names) {
    std::string path;
    for (const char* name : names) {
        path += kPathSeparator;
        path += name;
    }
    return path;
}

// The options command against a fake dialog; the user's part is played by `User`.
class OptionsTest : public ::testing::Test {
  protected:
    void Start() { c.FormCreate(); }

    // Opens the dialog, lets `edit` change the controls, confirms with OK.
    void Confirm(const std::function<void(FakeOptionsControls&)>& edit) {
        w.OptionsUser = [edit](FakeOptionsControls& controls) {
            edit(controls);
            return true;
        };
        c.Options1Click();
    }
    FakeOptionsControls Shown() {
        w.OptionsUser = nullptr;
        c.Options1Click();
        return w.OptionsLog.AtShow;
    }
    void SetInterval(const char* text, int unitItem) {
        Confirm([=](FakeOptionsControls& d) {
            d.CheckBox1 = true;
            d.Edit1 = text;
            d.ComboBox1 = unitItem;
        });
    }

    FakeMainWindow w;
    SyncController& c = w.Controller;
};

constexpr int kHours = 0;
constexpr int kMinutes = 1;

TEST_F(OptionsTest, DefaultsShowZeroHoursUncheckedLocalTimeAndTheDefaultServers) {
    Start();
    FakeOptionsControls shown = Shown();

    EXPECT_FALSE(shown.MinimizeBox);
    EXPECT_FALSE(shown.AutorunBox);
    EXPECT_FALSE(shown.NextOnFailBox);
    EXPECT_EQ(shown.ServerList, kDefaultServerList);
    EXPECT_FALSE(shown.CheckBox1);
    EXPECT_EQ(shown.ComboBox1, kHours);
    EXPECT_EQ(shown.Edit1, "0");
    EXPECT_FALSE(shown.RadioButton1);
    EXPECT_TRUE(shown.RadioButton2);
}

TEST_F(OptionsTest, StoredValuesShowInTheirUnitsWithTheRemainderCut) {
    w.SetKey("GlobalMinimize", "1");
    w.SetKey("GlobalNextSrvOnFail", "1");
    w.SetKey("UpdateClock", "1");
    w.SetKey("UpdateClockInterval", "5400000");
    w.SetKey("DisplayLocalTime", "0");
    Start();
    FakeOptionsControls shown = Shown();
    EXPECT_TRUE(shown.MinimizeBox);
    EXPECT_FALSE(shown.AutorunBox);
    EXPECT_TRUE(shown.NextOnFailBox);
    EXPECT_TRUE(shown.CheckBox1);
    EXPECT_EQ(shown.Edit1, "1");
    EXPECT_TRUE(shown.RadioButton1);
    EXPECT_FALSE(shown.RadioButton2);

    c.UpdateClockHour = false;
    c.UpdateClockInterval = 90000;
    shown = Shown();
    EXPECT_EQ(shown.ComboBox1, kMinutes);
    EXPECT_EQ(shown.Edit1, "1");
}

TEST_F(OptionsTest, OkTakesEveryFieldBackAndAppliesListAndDisplayAtOnce) {
    Start();
    Confirm([](FakeOptionsControls& d) {
        d.MinimizeBox = true;
        d.AutorunBox = true;
        d.NextOnFailBox = true;
        d.ServerList = "a.test||b.test";
        d.RadioButton1 = true;
        d.RadioButton2 = false;
    });

    EXPECT_TRUE(c.GlobalMinimize);
    EXPECT_TRUE(c.GlobalAutorun);
    EXPECT_TRUE(c.GlobalNextSrvOnFail);
    EXPECT_EQ(c.GlobalTimeSrvList, "a.test||b.test");
    EXPECT_EQ(c.ServerList, (std::vector<std::string>{"a.test", "", "b.test"}));
    EXPECT_FALSE(c.DisplayLocalTime);
    EXPECT_EQ(w.View.LocalCaption, "Current time (GMT)");
    EXPECT_EQ(w.OptionsLog.Released, 1);
}

TEST_F(OptionsTest, IntervalIsTakenInItsUnitAndTheTimerAppliedAtOnce) {
    Start();
    SetInterval("5", kMinutes);
    EXPECT_TRUE(c.UpdateClock);
    EXPECT_EQ(c.UpdateClockInterval, 300000);
    EXPECT_FALSE(c.UpdateClockHour);
    EXPECT_TRUE(w.Timer1.Enabled());
    EXPECT_EQ(w.Timer1.Interval(), 300000);

    SetInterval("2", kHours);
    EXPECT_EQ(c.UpdateClockInterval, 7200000);
    EXPECT_TRUE(c.UpdateClockHour);
    EXPECT_EQ(w.Timer1.Interval(), 7200000);

    SetInterval("596", kHours);
    EXPECT_EQ(c.UpdateClockInterval, 2145600000);
}

TEST_F(OptionsTest, ZeroIntervalIsStoredAndNeverFires) {
    Start();
    SetInterval("0", kHours);
    EXPECT_TRUE(c.UpdateClock);
    EXPECT_EQ(c.UpdateClockInterval, 0);
    EXPECT_TRUE(w.Timer1.Enabled());
    EXPECT_FALSE(w.Timer1.Running());
}

TEST_F(OptionsTest, HoursConfirmedAgainLoseTheRemainder) {
    w.SetKey("UpdateClock", "1");
    w.SetKey("UpdateClockInterval", "5400000");
    Start();
    Confirm([](FakeOptionsControls&) {});
    EXPECT_EQ(c.UpdateClockInterval, 3600000);
}

TEST_F(OptionsTest, IntervalThatWouldWrapOrIsNoNumberKeepsTheOldOne) {
    Start();
    SetInterval("5", kMinutes);
    for (const char* text : {"597", "999", "99999999999999999999", "abc", "", "-5"}) {
        SetInterval(text, kHours);
        EXPECT_EQ(c.UpdateClockInterval, 300000) << text;
        EXPECT_FALSE(c.UpdateClockHour) << text;
        EXPECT_EQ(w.Timer1.Interval(), 300000) << text;
    }
    SetInterval("999", kMinutes);
    EXPECT_EQ(c.UpdateClockInterval, 59940000);
}

TEST_F(OptionsTest, ClearingThePeriodStopsTheTimerAndKeepsTheOldInterval) {
    Start();
    SetInterval("3", kHours);
    Confirm([](FakeOptionsControls& d) {
        d.CheckBox1 = false;
        d.Edit1 = "7";
        d.ComboBox1 = kMinutes;
    });

    EXPECT_FALSE(c.UpdateClock);
    EXPECT_FALSE(w.Timer1.Enabled());
    EXPECT_EQ(c.UpdateClockInterval, 3 * 3600000);
    EXPECT_TRUE(c.UpdateClockHour);
    FakeOptionsControls shown = Shown();
    EXPECT_EQ(shown.Edit1, "3");
    EXPECT_EQ(shown.ComboBox1, kHours);
}

TEST_F(OptionsTest, OkWithoutChangesKeepsTheRunningCountdown) {
    w.SetKey("UpdateClock", "1");
    w.SetKey("UpdateClockInterval", "600000");
    w.SetKey("UpdateClockHour", "0");
    Start();
    w.Timer1.OnTimer = nullptr;
    w.Timer1.Advance(250000);
    const int restarts = w.Timer1.Restarts();

    Confirm([](FakeOptionsControls&) {});

    EXPECT_EQ(w.Timer1.Restarts(), restarts);
    EXPECT_EQ(w.Timer1.Remaining(), 350000);
}

TEST_F(OptionsTest, CancelChangesNothingAndLeavesTheStoreAloneButRefreshes) {
    Start();
    const int refreshes = w.View.LocalTextCount;
    w.OptionsUser = [](FakeOptionsControls& d) {
        d.AutorunBox = true;
        d.CheckBox1 = true;
        d.Edit1 = "1";
        d.RadioButton1 = true;
        d.ServerList = "x.test";
        return false;
    };
    c.Options1Click();

    EXPECT_FALSE(c.GlobalAutorun);
    EXPECT_FALSE(c.UpdateClock);
    EXPECT_TRUE(c.DisplayLocalTime);
    EXPECT_EQ(c.GlobalTimeSrvList, kDefaultServerList);
    EXPECT_EQ(c.ServerList.size(), 2u);
    EXPECT_EQ(w.OptionsLog.ReadBack, 0);
    EXPECT_EQ(w.Autostart.Calls, 0);
    EXPECT_EQ(w.OptionsLog.Released, 1);
    EXPECT_EQ(w.View.LocalTextCount, refreshes + 1);
}

TEST_F(OptionsTest, OnlyAChangedAutorunBoxChangesTheStoreAndOnlyWhereItDiffers) {
    w.Program.Path = RootPath({"opt", "my apps", "velmora"});
    Start();
    Confirm([](FakeOptionsControls& d) { d.AutorunBox = true; });
    EXPECT_EQ(w.Autostart.Values["Velmora"], RootPath({"opt", "my apps", "velmora"}));
    Confirm([](FakeOptionsControls& d) { d.AutorunBox = false; });
    EXPECT_TRUE(w.Autostart.Values.empty());
    const int calls = w.Autostart.Calls;

    // An administrator's entry starts the program though this user's settings say no autorun:
    // a box left as shown, or ticked where the entry already starts it, changes nothing.
    w.Autostart.Values["Velmora"] = "/usr/bin/velmora";
    Confirm([](FakeOptionsControls& d) { d.NextOnFailBox = true; });
    Confirm([](FakeOptionsControls& d) { d.AutorunBox = true; });
    // Nor does an untouched box whose settings say autorun where nothing is registered.
    w.Autostart.Values.clear();
    Confirm([](FakeOptionsControls& d) { d.MinimizeBox = true; });
    EXPECT_EQ(w.Autostart.Calls, calls);
    EXPECT_TRUE(w.Autostart.Values.empty());
}

TEST_F(OptionsTest, ExecutableInTheRootGivesOneSlash) {
    w.Program.Path = RootPath({"velmora"});
    Start();
    Confirm([](FakeOptionsControls& d) { d.AutorunBox = true; });
    EXPECT_EQ(w.Autostart.Values["Velmora"], RootPath({"velmora"}));
}

TEST_F(OptionsTest, AutorunErrorComesAfterEveryOtherSettingIsApplied) {
    Start();
    w.Autostart.FailCreate = true;
    const int refreshes = w.View.LocalTextCount;

    try {
        Confirm([](FakeOptionsControls& d) {
            d.AutorunBox = true;
            d.RadioButton1 = true;
            d.CheckBox1 = true;
            d.Edit1 = "10";
            d.ComboBox1 = kMinutes;
        });
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Failed to create key /etc/xdg/autostart");
    }
    EXPECT_TRUE(c.GlobalAutorun);
    EXPECT_FALSE(c.DisplayLocalTime);
    EXPECT_EQ(w.Timer1.Interval(), 600000);
    EXPECT_EQ(w.OptionsLog.Released, 1);
    EXPECT_EQ(w.View.LocalTextCount, refreshes + 1);
    EXPECT_EQ(w.View.LocalCaption, "Current time (GMT)");
}

TEST_F(OptionsTest, ExceptionInsideTheDialogReleasesItAndStillRefreshes) {
    Start();
    const int refreshes = w.View.LocalTextCount;
    w.OptionsUser = [](FakeOptionsControls&) -> bool { throw std::runtime_error("modal loop"); };

    EXPECT_THROW(c.Options1Click(), std::runtime_error);
    EXPECT_EQ(w.OptionsLog.Released, 1);
    EXPECT_EQ(w.View.LocalTextCount, refreshes + 1);
    EXPECT_EQ(w.Autostart.Calls, 0);
}

}  // namespace
}  // namespace velmora
