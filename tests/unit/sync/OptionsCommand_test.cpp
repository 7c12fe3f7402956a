#include <array>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "sync/MachineOptions.h"
#include "tests/fixtures/FakeMainWindow.h"

namespace velmora {
namespace {

constexpr bool kHours = true;
constexpr bool kMinutes = false;

// The options command against a fake dialog; the user's part is played by `User`.
class OptionsTest : public ::testing::Test {
  protected:
    void Start() { c.FormCreate(); }

    // Opens the dialog, lets `edit` change the controls, confirms with OK.
    void Confirm(const std::function<void(OptionsValues&)>& edit) {
        w.OptionsUser = [edit](OptionsValues& controls) {
            edit(controls);
            return true;
        };
        c.Options1Click();
    }
    OptionsValues Shown() {
        w.OptionsUser = nullptr;
        c.Options1Click();
        return w.OptionsLog.AtShow;
    }
    void SetInterval(const char* text, bool hours) {
        Confirm([=](OptionsValues& d) {
            d.PeriodicSync = true;
            d.IntervalText = text;
            d.IntervalInHours = hours;
        });
    }

    FakeMainWindow w;
    SyncController& c = w.Controller;
};

TEST_F(OptionsTest, DefaultsShowZeroHoursUncheckedLocalTimeAndTheDefaultServers) {
    Start();
    OptionsValues shown = Shown();

    EXPECT_FALSE(shown.MinimizeOnStart);
    EXPECT_FALSE(shown.Autorun);
    EXPECT_FALSE(shown.TryNextServer);
    EXPECT_EQ(shown.ServerList, kDefaultServerList);
    EXPECT_FALSE(shown.PeriodicSync);
    EXPECT_TRUE(shown.IntervalInHours);
    EXPECT_EQ(shown.IntervalText, "0");
    EXPECT_TRUE(shown.DisplayLocalTime);
}

TEST_F(OptionsTest, StoredValuesShowInTheirUnitsWithTheRemainderCut) {
    w.SetKey("GlobalMinimize", "1");
    w.SetKey("GlobalNextSrvOnFail", "1");
    w.SetKey("UpdateClock", "1");
    w.SetKey("UpdateClockInterval", "5400000");
    w.SetKey("DisplayLocalTime", "0");
    Start();
    OptionsValues shown = Shown();
    EXPECT_TRUE(shown.MinimizeOnStart);
    EXPECT_FALSE(shown.Autorun);
    EXPECT_TRUE(shown.TryNextServer);
    EXPECT_TRUE(shown.PeriodicSync);
    EXPECT_EQ(shown.IntervalText, "1");
    EXPECT_FALSE(shown.DisplayLocalTime);

    c.UpdateClockHour = false;
    c.UpdateClockInterval = 90000;
    shown = Shown();
    EXPECT_FALSE(shown.IntervalInHours);
    EXPECT_EQ(shown.IntervalText, "1");
}

TEST_F(OptionsTest, OkTakesEveryFieldBackAndAppliesListAndDisplayAtOnce) {
    Start();
    Confirm([](OptionsValues& d) {
        d.MinimizeOnStart = true;
        d.Autorun = true;
        d.TryNextServer = true;
        d.ServerList = "a.test||b.test";
        d.DisplayLocalTime = false;
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
    Confirm([](OptionsValues&) {});
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
    Confirm([](OptionsValues& d) {
        d.PeriodicSync = false;
        d.IntervalText = "7";
        d.IntervalInHours = false;
    });

    EXPECT_FALSE(c.UpdateClock);
    EXPECT_FALSE(w.Timer1.Enabled());
    EXPECT_EQ(c.UpdateClockInterval, 3 * 3600000);
    EXPECT_TRUE(c.UpdateClockHour);
    OptionsValues shown = Shown();
    EXPECT_EQ(shown.IntervalText, "3");
    EXPECT_TRUE(shown.IntervalInHours);
}

TEST_F(OptionsTest, OkWithoutChangesKeepsTheRunningCountdown) {
    w.SetKey("UpdateClock", "1");
    w.SetKey("UpdateClockInterval", "600000");
    w.SetKey("UpdateClockHour", "0");
    Start();
    w.Timer1.OnTimer = nullptr;
    w.Timer1.Advance(250000);
    const int restarts = w.Timer1.Restarts();

    Confirm([](OptionsValues&) {});

    EXPECT_EQ(w.Timer1.Restarts(), restarts);
    EXPECT_EQ(w.Timer1.Remaining(), 350000);
}

TEST_F(OptionsTest, CancelChangesNothingAndLeavesTheStoreAloneButRefreshes) {
    Start();
    const int refreshes = w.View.LocalTextCount;
    w.OptionsUser = [](OptionsValues& d) {
        d.Autorun = true;
        d.PeriodicSync = true;
        d.IntervalText = "1";
        d.DisplayLocalTime = false;
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
    w.Program.Path = "/opt/my apps/velmora";
    Start();
    Confirm([](OptionsValues& d) { d.Autorun = true; });
    EXPECT_EQ(w.Autostart.Values["Velmora"], "/opt/my apps/velmora");
    Confirm([](OptionsValues& d) { d.Autorun = false; });
    EXPECT_TRUE(w.Autostart.Values.empty());
    const int calls = w.Autostart.Calls;

    // An administrator's entry starts the program though this user's settings say no autorun:
    // a box left as shown, or ticked where the entry already starts it, changes nothing.
    w.Autostart.Values["Velmora"] = "/usr/bin/velmora";
    Confirm([](OptionsValues& d) { d.TryNextServer = true; });
    Confirm([](OptionsValues& d) { d.Autorun = true; });
    // Nor does an untouched box whose settings say autorun where nothing is registered.
    w.Autostart.Values.clear();
    Confirm([](OptionsValues& d) { d.MinimizeOnStart = true; });
    EXPECT_EQ(w.Autostart.Calls, calls);
    EXPECT_TRUE(w.Autostart.Values.empty());
}

TEST_F(OptionsTest, ExecutableInTheRootGivesOneSlash) {
    w.Program.Path = "/velmora";
    Start();
    Confirm([](OptionsValues& d) { d.Autorun = true; });
    EXPECT_EQ(w.Autostart.Values["Velmora"], "/velmora");
}

TEST_F(OptionsTest, AutorunErrorComesAfterEveryOtherSettingIsApplied) {
    Start();
    w.Autostart.FailCreate = true;
    const int refreshes = w.View.LocalTextCount;

    try {
        Confirm([](OptionsValues& d) {
            d.Autorun = true;
            d.DisplayLocalTime = false;
            d.PeriodicSync = true;
            d.IntervalText = "10";
            d.IntervalInHours = false;
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

TEST_F(OptionsTest, OkWritesTheFileAtOnceInOneReplaceAndCancelWritesNothing) {
    Start();
    const auto key = [this](const char* name) { return w.Profile.Get(kSettingsSection, name); };
    Confirm([](OptionsValues& d) {
        d.ServerList = "a.test|b.test";
        d.DisplayLocalTime = false;
        d.PeriodicSync = true;
        d.IntervalText = "5";
        d.IntervalInHours = false;
    });
    EXPECT_EQ(w.Profile.Replaces, 1);
    EXPECT_EQ(w.Profile.Writes.size(), kSettingsTable.size());
    EXPECT_EQ(key("GlobalTimeSrvList"), "a.test|b.test");
    EXPECT_EQ(key("DisplayLocalTime"), "0");
    EXPECT_EQ(key("UpdateClock"), "1");
    EXPECT_EQ(key("UpdateClockInterval"), "300000");
    EXPECT_EQ(key("UpdateClockHour"), "0");

    w.OptionsUser = [](OptionsValues& d) {
        d.ServerList = "c.test";
        return false;
    };
    c.Options1Click();
    EXPECT_EQ(w.Profile.Replaces, 1) << "Cancel wrote the file";
    EXPECT_EQ(key("GlobalTimeSrvList"), "a.test|b.test");
}

TEST_F(OptionsTest, AFileThatCannotBeWrittenAfterOkIsToldOnceEverythingElseIsDone) {
    Start();
    w.Profile.FailWrites = true;
    try {
        Confirm([](OptionsValues& d) {
            d.Autorun = true;
            d.DisplayLocalTime = false;
        });
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to /opt/velmora/KXdefault.cfg");
    }
    EXPECT_FALSE(c.DisplayLocalTime);
    EXPECT_EQ(w.View.LocalCaption, "Current time (GMT)");
    EXPECT_EQ(w.Autostart.Values["Velmora"], "/opt/velmora/velmora") << "autorun followed the box";
    EXPECT_EQ(w.OptionsLog.Released, 1);

    // Written at the end after all, as confirmed.
    w.Profile.FailWrites = false;
    c.FormDestroy();
    EXPECT_EQ(w.Profile.Get(kSettingsSection, "DisplayLocalTime"), "0");
    EXPECT_EQ(w.Profile.Get(kSettingsSection, "GlobalAutorun"), "1");
}

TEST_F(OptionsTest, ExceptionInsideTheDialogReleasesItAndStillRefreshes) {
    Start();
    const int refreshes = w.View.LocalTextCount;
    w.OptionsUser = [](OptionsValues&) -> bool { throw std::runtime_error("modal loop"); };

    EXPECT_THROW(c.Options1Click(), std::runtime_error);
    EXPECT_EQ(w.OptionsLog.Released, 1);
    EXPECT_EQ(w.View.LocalTextCount, refreshes + 1);
    EXPECT_EQ(w.Autostart.Calls, 0);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

TEST_F(OptionsTest, TheMachinesFieldsComeFromItAndOnlyAnAdministratorsChangesGoThere) {
    w.Machine.Installed = true;
    w.Machine.Profile.Set(kSettingsSection, "GlobalTimeSrvList", "m.test");
    w.Machine.Profile.Set(kSettingsSection, "UpdateClock", "1");
    w.Machine.Profile.Set(kSettingsSection, "UpdateClockInterval", "600000");
    w.Machine.Profile.Set(kSettingsSection, "UpdateClockHour", "0");
    Start();
    OptionsValues shown = Shown();
    EXPECT_EQ(shown.ServerList, "m.test");
    EXPECT_TRUE(shown.PeriodicSync);
    EXPECT_EQ(shown.IntervalText, "10");
    EXPECT_FALSE(shown.IntervalInHours);
    EXPECT_EQ(shown.MachineOwnedReason, kMachineOwnedReason);

    // A standard user's dialog gives the machine's fields back as shown: nothing is written there.
    Confirm([](OptionsValues& d) { d.MinimizeOnStart = true; });
    EXPECT_TRUE(w.Machine.Writes.empty());
    EXPECT_EQ(c.GlobalTimeSrvList, "m.test");
    EXPECT_EQ(c.UpdateClockInterval, 600000);

    w.Machine.Administrator = true;
    EXPECT_EQ(Shown().MachineOwnedReason, "");
    Confirm([](OptionsValues& d) { d.DisplayLocalTime = false; });
    EXPECT_TRUE(w.Machine.Writes.empty());
    Confirm([](OptionsValues& d) { d.ServerList = "n.test"; });
    ASSERT_EQ(w.Machine.Writes.size(), 1U);
    EXPECT_EQ(w.Machine.Writes[0], (ProfileFile::KeyValues{{"GlobalTimeSrvList", "n.test"}}));
    EXPECT_EQ(c.GlobalTimeSrvList, "n.test");
    EXPECT_EQ(w.Service.Requests, std::vector<std::string>{"tell me your state"});

    // A refused prompt leaves the machine's settings and the user's options as they were.
    w.Machine.Refusal = "the prompt was cancelled";
    EXPECT_THROW(Confirm([](OptionsValues& d) {
                     d.ServerList = "o.test";
                     d.MinimizeOnStart = false;
                 }),
                 Error);
    EXPECT_EQ(w.Machine.Profile.Get(kSettingsSection, "GlobalTimeSrvList"), "n.test");
    EXPECT_EQ(c.GlobalTimeSrvList, "n.test");
    EXPECT_TRUE(c.GlobalMinimize);
}

TEST_F(OptionsTest, TheMachinesWriteRunsOnTheWorkerAndTheRestOfTheOkWaitsForIt) {
    w.Machine.Installed = w.Machine.Administrator = true;
    Start();
    w.Work.Hold = true;
    const int replaces = w.Profile.Replaces;
    const auto confirm = [this](const char* list, bool minimize) {
        Confirm([=](OptionsValues& d) {
            d.ServerList = list;
            d.MinimizeOnStart = minimize;
        });
    };
    confirm("n.test", true);
    // While the prompt is open nothing of the OK is taken, and no second dialog opens.
    const int shown = w.OptionsLog.Shown;
    c.Options1Click();
    EXPECT_EQ(w.OptionsLog.Shown, shown);
    EXPECT_FALSE(c.GlobalMinimize);
    EXPECT_EQ(w.Profile.Replaces, replaces);
    ASSERT_EQ(w.Work.Held.size(), 1U);

    w.Work.RunHeld();
    EXPECT_EQ(w.Machine.Writes.size(), 1U);
    EXPECT_TRUE(c.GlobalMinimize);
    EXPECT_EQ(c.ServerList, std::vector<std::string>{"n.test"});
    EXPECT_EQ(w.Profile.Replaces, replaces + 1);
    w.Work.RunHeld();
    EXPECT_EQ(w.Service.Requests, std::vector<std::string>{"tell me your state"});

    // A refused prompt takes nothing, says so, and the dialog opens again.
    w.Machine.Refusal = "the prompt was cancelled";
    confirm("o.test", false);
    EXPECT_THROW(w.Work.RunHeld(), Error);
    EXPECT_TRUE(c.GlobalMinimize);
    EXPECT_EQ(c.ServerList, std::vector<std::string>{"n.test"});
    EXPECT_EQ(w.Profile.Replaces, replaces + 1);
    EXPECT_EQ(Shown().ServerList, "n.test");
}

// The user's file and the machine's settings, differing in each of the machine's fields.
class HeldMachineTest : public OptionsTest {
  protected:
    HeldMachineTest() {
        for (const auto& [key, own, machine] : kFields) {
            w.SetKey(key, own);
            w.Machine.Profile.Set(kSettingsSection, key, machine);
        }
        w.Machine.Installed = true;
    }
    std::vector<std::string> UsersFile() {
        std::vector<std::string> values;
        for (const auto& field : kFields) {
            values.push_back(w.Profile.Get(kSettingsSection, std::get<0>(field)));
        }
        return values;
    }

    static constexpr std::array<std::tuple<const char*, const char*, const char*>, 4> kFields{{
        {"GlobalTimeSrvList", "u.test", "m1.test|m2.test"},
        {"UpdateClock", "0", "1"},
        {"UpdateClockInterval", "3600000", "600000"},
        {"UpdateClockHour", "1", "0"},
    }};
    const std::vector<std::string> usersOwn{"u.test", "0", "3600000", "1"};
};

TEST_F(HeldMachineTest, TheProgramWorksByTheMachinesWhileTheUsersFileKeepsItsOwn) {
    Start();
    EXPECT_EQ(c.ServerList, (std::vector<std::string>{"m1.test", "m2.test"}));
    EXPECT_TRUE(w.Timer1.Enabled());
    EXPECT_EQ(w.Timer1.Interval(), SyncPeriodMilliseconds(600000));

    // A standard user's OK and the save at the end write the user's own, not the machine's.
    Confirm([](OptionsValues& d) { d.MinimizeOnStart = true; });
    c.SaveSettingsNow();
    EXPECT_EQ(UsersFile(), usersOwn);
    EXPECT_EQ(w.Profile.Get(kSettingsSection, "GlobalMinimize"), "1");
    c.SaveKeptSettings();
    EXPECT_EQ(UsersFile(), usersOwn);

    // An administrator's change is held as read back; the user's file still keeps its own.
    w.Machine.Administrator = true;
    Confirm([](OptionsValues& d) {
        d.ServerList = "n.test";
        d.IntervalText = "5";
    });
    EXPECT_EQ(c.ServerList, std::vector<std::string>{"n.test"});
    EXPECT_EQ(w.Timer1.Interval(), SyncPeriodMilliseconds(300000));
    EXPECT_EQ(UsersFile(), usersOwn);

    // The service gone, the dialog shows the user's own again and OK works by them.
    w.Machine.Installed = false;
    EXPECT_EQ(Shown().ServerList, "u.test");
    Confirm([](OptionsValues&) {});
    EXPECT_EQ(c.ServerList, std::vector<std::string>{"u.test"});
    EXPECT_FALSE(w.Timer1.Enabled());
    EXPECT_TRUE(w.Errors.empty());
}

TEST_F(HeldMachineTest, SettingsThatCannotBeReadLeaveTheUsersOwnAndAreToldOnce) {
    w.Machine.ReadFailure = "The machine's settings cannot be read: Access is denied.";
    Start();
    EXPECT_EQ(c.ServerList, std::vector<std::string>{"u.test"});
    EXPECT_FALSE(w.Timer1.Enabled());
    c.SaveSettingsNow();
    EXPECT_EQ(UsersFile(), usersOwn);
    EXPECT_EQ(w.Errors, std::vector<std::string>{w.Machine.ReadFailure});
}

TEST(MachineOptions, TheElevatedCopyWritesOnlyTheDialogsFieldsAsTheServiceReadsThem) {
    const ProfileFile::KeyValues good = {{"GlobalTimeSrvList", "a.test|b.test"},
                                         {"UpdateClockInterval", "60000"}};
    EXPECT_EQ(CheckedMachineValues(good), good);
    for (const ProfileFile::KeyValues& bad : {ProfileFile::KeyValues{{"StepLimitSeconds", "0"}},
                                              {{"UpdateClock", "yes"}},
                                              {{"UpdateClockInterval", "abc"}},
                                              {{"GlobalTimeSrvList", std::string(3000, 'a')}}}) {
        EXPECT_FALSE(CheckedMachineValues(bad)) << bad[0].first;
    }
}

}  // namespace
}  // namespace velmora
