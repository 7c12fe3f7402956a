#include "tests/unit/controller/ControllerTest.h"

namespace velmora {
namespace {

using StartUp = ControllerTest;

TEST_F(StartUp, MissingFileGivesDefaultsLocalDisplayAndNothingRunning) {
    w.View.ServerText = "left over";
    c.FormCreate();

    EXPECT_EQ(c.ServerList, (std::vector<std::string>{kDefaultServer1, kDefaultServer2}));
    EXPECT_TRUE(c.DisplayLocalTime);
    EXPECT_EQ(w.View.LocalText, DateTimeText(w.Clock.Local));
    EXPECT_EQ(w.View.LocalCaption, "Current time");
    EXPECT_EQ(w.View.ServerCaption, "Atomic clock time");
    EXPECT_EQ(w.View.ServerText, "");
    EXPECT_FALSE(w.Timer1.Enabled());
    EXPECT_FALSE(w.UpdateTimer.Enabled());
    EXPECT_EQ(w.UpdateTimer.Interval(), 500);
    EXPECT_NEAR(c.ZoneBias, kBias, 1e-12);
    EXPECT_TRUE(net.Queried().empty());
    EXPECT_TRUE(w.Clock.Settings.empty());
    EXPECT_EQ(w.View.MinimizedCount, 0);
    EXPECT_EQ(w.Autostart.Calls, 0);
}

TEST_F(StartUp, EmptyListQueriesTheDefaultsButSavesTheListEmpty) {
    net.AddSilentServer(kDefaultServer1);
    net.AddServer(kDefaultServer2, Ahead(2));
    StartWithServers("", true);
    EXPECT_TRUE(c.ServerList.empty());

    c.CheckTimeServerButtonClick();

    EXPECT_EQ(net.Queried(), (std::vector<std::string>{kDefaultServer1, kDefaultServer2}));
    EXPECT_EQ(c.ServerList, (std::vector<std::string>{kDefaultServer1, kDefaultServer2}));
    EXPECT_NEAR(c.ClockOffset, 2 * kSecond, kMillisecond);
    c.FormDestroy();
    EXPECT_TRUE(w.Profile.Has(kSettingsSection, "GlobalTimeSrvList"));
    EXPECT_EQ(w.Profile.Get(kSettingsSection, "GlobalTimeSrvList"), "");
    EXPECT_TRUE(c.ServerList.empty());
}

TEST_F(StartUp, AutorunQueriesOnceAndSetsTheClockOnceBeforeTheWindowShows) {
    net.AddServer("ntp.test", Ahead(30));
    w.SetKey("GlobalAutorun", "1");
    StartWithServers("ntp.test", false);

    EXPECT_EQ(net.Queried(), std::vector<std::string>{"ntp.test"});
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], Ahead(30), kMillisecond);
    EXPECT_EQ(c.ClockOffset, 0);
    EXPECT_TRUE(c.ServerTimeKnown);
    EXPECT_EQ(w.Autostart.Calls, 0);
}

TEST_F(StartUp, RefusedClockAtAutorunIsReportedAndTheWindowStillOpens) {
    net.AddServer("ntp.test", Ahead(30));
    w.Clock.Refuse = true;
    w.SetKey("GlobalAutorun", "1");

    EXPECT_NO_THROW(StartWithServers("ntp.test", false));

    EXPECT_EQ(w.Errors, std::vector<std::string>{
                            "Unable to set the computer clock: Operation not permitted"});
    EXPECT_NEAR(c.ClockOffset, 30 * kSecond, kMillisecond);
    EXPECT_EQ(w.View.ServerText, DateTimeText(w.Clock.Local + c.ClockOffset));
}

TEST_F(StartUp, SavesEveryKeyAtShutDownAndASaveFailureStillReleasesTheList) {
    w.SetKey("UpdateClockInterval", "30");
    c.FormCreate();
    c.FormDestroy();
    EXPECT_EQ(w.Profile.Writes.size(), 8u);
    EXPECT_EQ(w.Profile.Get(kSettingsSection, "UpdateClockInterval"), "30");

    c.FormCreate();
    w.Profile.FailWrites = true;
    EXPECT_THROW(c.FormDestroy(), Error);
    EXPECT_TRUE(c.ServerList.empty());
}

struct IntervalCase {
    const char* updateClock;
    const char* stored;
    bool enabled;
    std::int32_t timerInterval;
};

void PrintTo(const IntervalCase& p, std::ostream* out) {
    *out << "UpdateClock=" << p.updateClock << " UpdateClockInterval=" << p.stored;
}

class Timer1AtStartUp : public ControllerTest,
                        public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(Timer1AtStartUp, RunsNoMoreThanOnceAMinuteAndNeverAtZeroOrBelow) {
    const IntervalCase& p = GetParam();
    net.AddServer("ntp.test", Ahead(1));
    w.SetKey("UpdateClock", p.updateClock);
    w.SetKey("UpdateClockInterval", p.stored);
    StartWithServers("ntp.test", false);

    EXPECT_EQ(w.Timer1.Enabled(), p.enabled);
    EXPECT_EQ(w.Timer1.Interval(), p.timerInterval);
    EXPECT_EQ(std::to_string(c.UpdateClockInterval), p.stored);

    w.Timer1.Advance(59999);
    EXPECT_TRUE(w.Clock.Settings.empty());
    w.Timer1.Advance(24 * 3600 * 1000);
    if (p.enabled && p.timerInterval > 0) {
        EXPECT_EQ(w.Clock.Settings.size(), std::size_t(24 * 3600 * 1000 / p.timerInterval));
    } else {
        EXPECT_TRUE(w.Clock.Settings.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Intervals, Timer1AtStartUp,
                         ::testing::Values(IntervalCase{"1", "30", true, 60000},
                                           IntervalCase{"1", "59999", true, 60000},
                                           IntervalCase{"1", "60000", true, 60000},
                                           IntervalCase{"1", "3600000", true, 3600000},
                                           IntervalCase{"1", "0", true, 0},
                                           IntervalCase{"1", "-5", true, 0},
                                           IntervalCase{"0", "3600000", false, 3600000}));

TEST_F(StartUp, PeriodicTickQueriesThenSetsTheClock) {
    net.AddServer("ntp.test", Ahead(5));
    w.SetKey("UpdateClock", "1");
    w.SetKey("UpdateClockInterval", "60000");
    StartWithServers("ntp.test", false);

    w.Timer1.Advance(60000);

    EXPECT_EQ(net.Queried().size(), 1u);
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], Ahead(5), kMillisecond);
}

TEST_F(StartUp, DisplayRefreshStartsOnActivationEvery500Milliseconds) {
    c.FormCreate();
    int before = w.View.LocalTextCount;
    w.UpdateTimer.Advance(5000);
    EXPECT_EQ(w.View.LocalTextCount, before);

    c.StartDisplayRefresh();
    w.Clock.AdvanceMilliseconds(1000);
    w.UpdateTimer.Advance(1000);

    EXPECT_EQ(w.View.LocalTextCount, before + 2);
    EXPECT_EQ(w.View.LocalText, DateTimeText(w.Clock.Local));
}

}  // namespace
}  // namespace velmora
