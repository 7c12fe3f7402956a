#include <cmath>
#include <stdexcept>

#include "tests/fixtures/ControllerTest.h"

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
    EXPECT_EQ(w.Profile.Writes.size(), kSettingsTable.size());
    EXPECT_EQ(w.Profile.Get(kSettingsSection, "UpdateClockInterval"), "30");

    c.FormCreate();
    w.Profile.FailWrites = true;
    EXPECT_THROW(c.FormDestroy(), Error);
    EXPECT_TRUE(c.ServerList.empty());
}

TEST_F(StartUp, TheKeptSettingsAreThoseLoadedOrConfirmedAndNothingBeforeTheyAreLoaded) {
    c.SaveKeptSettings();
    EXPECT_EQ(w.Profile.Replaces, 0) << "defaults written over a file not yet read";

    StartWithServers("first.test", false);
    c.GlobalTimeSrvList = "not confirmed";
    c.SaveKeptSettings();
    EXPECT_EQ(w.Profile.Replaces, 1);
    EXPECT_EQ(w.Profile.Get(kSettingsSection, "GlobalTimeSrvList"), "first.test");

    w.OptionsUser = [](OptionsValues& d) {
        d.ServerList = "second.test";
        return true;
    };
    c.Options1Click();
    w.Profile.Set(kSettingsSection, "GlobalTimeSrvList", "changed since");
    c.SaveKeptSettings();
    EXPECT_EQ(w.Profile.Get(kSettingsSection, "GlobalTimeSrvList"), "second.test");
    EXPECT_EQ(w.Profile.Writes.size(), 3 * kSettingsTable.size());
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

namespace velmora {
namespace {

using GetTime = ControllerTest;

TEST_F(GetTime, TryNextServerOnFailAsksOnUntilOneAnswers) {
    net.AddSilentServer("down.test");
    net.AddServer("up.test", Ahead(12.5));
    net.AddServer("spare.test", Ahead(99));
    StartWithServers("down.test|up.test|spare.test", true);

    c.CheckTimeServerButtonClick();

    EXPECT_EQ(net.Queried(), (std::vector<std::string>{"down.test", "up.test"}));
    EXPECT_TRUE(c.ServerTimeKnown);
    EXPECT_NEAR(c.ClockOffset, 12.5 * kSecond, kMillisecond);
    // The failure text written in between has been replaced by the time.
    EXPECT_EQ(w.View.ServerTexts[w.View.ServerTexts.size() - 2], kFailedToContact);
    EXPECT_EQ(w.View.ServerText, DateTimeText(w.Clock.Local + c.ClockOffset));
}

TEST_F(GetTime, WithoutTryNextServerOnlyTheFirstEntryIsAsked) {
    net.AddSilentServer("down.test");
    net.AddServer("up.test", Ahead(12.5));
    StartWithServers("down.test|up.test", false);

    c.CheckTimeServerButtonClick();

    EXPECT_EQ(net.Queried(), std::vector<std::string>{"down.test"});
    EXPECT_FALSE(c.ServerTimeKnown);
    EXPECT_EQ(w.View.ServerText, kFailedToContact);
}

TEST_F(GetTime, FirstAnswerEndsTheLoopWhicheverTheSetting) {
    net.AddServer("up.test", Ahead(1));
    net.AddServer("spare.test", Ahead(2));
    for (bool nextOnFail : {false, true}) {
        net.Api.Sent.clear();
        w.SetKey("GlobalNextSrvOnFail", nextOnFail ? "1" : "0");
        StartWithServers("up.test|spare.test", nextOnFail);
        c.CheckTimeServerButtonClick();
        EXPECT_EQ(net.Queried(), std::vector<std::string>{"up.test"});
    }
}

TEST_F(GetTime, EmptyAndUnknownEntriesAreAskedLikeAnyOtherAndTheLastFailureStays) {
    net.AddSilentServer("down.test");
    StartWithServers("|nowhere.test|down.test", true);

    c.CheckTimeServerButtonClick();

    EXPECT_EQ(net.Queried(),
              (std::vector<std::string>{"255.255.255.255", "255.255.255.255", "down.test"}));
    EXPECT_EQ(w.View.ServerText, kFailedToContact);
    EXPECT_EQ(w.View.StatusLines,
              (std::vector<std::string>{
                  "No server gave the time:", "(empty entry): the name does not resolve",
                  "nowhere.test: the name does not resolve",
                  "down.test: no answer within 5 s: UDP port 123 may be "
                  "blocked",
                  "Clock not set since the program started"}));
    c.UpdateTimerTimer();
    EXPECT_EQ(w.View.ServerText, kFailedToContact);
}

TEST_F(GetTime, FailureAfterAnEarlierAnswerStaysShownUntilTheNextAnswer) {
    net.AddServer("up.test", Ahead(7));
    net.AddSilentServer("down.test");
    StartWithServers("up.test", false);
    c.CheckTimeServerButtonClick();

    c.ServerList = {"down.test"};
    c.CheckTimeServerButtonClick();
    c.UpdateTimerTimer();
    EXPECT_EQ(w.View.ServerText, kFailedToContact) << "no ticking time over a failed command";
    c.DisplayLocalTime = false;
    c.UpdateTimerTimer();
    EXPECT_EQ(w.View.ServerText, kFailedToContact);

    // The offset held from the earlier answer is still what adjust sets the clock by.
    c.AdjustClockButtonClick();
    ASSERT_FALSE(w.Clock.Settings.empty());
    EXPECT_NEAR(w.Clock.Settings.back(), Ahead(7), kMillisecond);
    EXPECT_EQ(w.View.ServerText, kFailedToContact);

    c.ServerList = {"up.test"};
    c.CheckTimeServerButtonClick();
    c.UpdateTimerTimer();
    EXPECT_EQ(w.View.ServerText, DateTimeText(w.Clock.Local + c.ClockOffset + c.ZoneBias));
}

TEST_F(GetTime, BusyCursorAndClientEndOnEveryWayOutAnExceptionIncluded) {
    net.AddServer("up.test", Ahead(1));
    net.AddSilentServer("down.test");
    StartWithServers("up.test", false);

    c.CheckTimeServerButtonClick();
    c.ServerList = {"down.test"};
    c.CheckTimeServerButtonClick();
    w.View.OnServerText = [](const std::string&) { throw std::runtime_error("window gone"); };
    EXPECT_THROW(c.CheckTimeServerButtonClick(), std::runtime_error);

    EXPECT_EQ(w.View.BusyCursorCalls, (std::vector<bool>{true, false, true, false, true, false}));
    // Three clients, each closed and cleaned up again.
    EXPECT_EQ(net.Api.Startups, 3);
    EXPECT_EQ(net.Api.Cleanups, 3);
    EXPECT_EQ(net.Api.Closes.size(), 3u);
}

TEST_F(GetTime, ZoneBiasIsReadAfreshForEveryQueryAndOffsetIsInLocalTime) {
    net.AddServer("up.test", Ahead(3));
    StartWithServers("up.test", false);
    // Daylight saving began while the program ran: local clock an hour further from GMT.
    w.Zone.Info = FakeTimeZoneSource::Fixed(-120);
    w.Clock.UtcMinusLocal = -120.0 / kMinutesPerDay;

    c.CheckTimeServerButtonClick();

    EXPECT_NEAR(c.ZoneBias, -120.0 / kMinutesPerDay, 1e-12);
    // The server still runs 3 s ahead of the UTC clock it was given, which is now an hour
    // further behind the local clock.
    EXPECT_NEAR(c.ClockOffset, 3 * kSecond + 60.0 / kMinutesPerDay, kMillisecond);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

using Adjust = ControllerTest;

TEST_F(Adjust, BeforeAnyQueryAsksFirstThenSetsTheServersTimeInGmt) {
    net.AddServer("up.test", Ahead(42));
    StartWithServers("up.test", false);

    c.AdjustClockButtonClick();

    EXPECT_EQ(net.Queried().size(), 1u);
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], Ahead(42), kMillisecond);
    EXPECT_EQ(c.ClockOffset, 0);
    EXPECT_TRUE(w.Errors.empty());
    // The answer and the step go into the history.
    ASSERT_EQ(w.History.Records.size(), 2u);
    EXPECT_EQ(w.History.Records[0].kind, HistoryRecord::Kind::Answer);
    EXPECT_EQ(w.History.Records[0].entry, "up.test");
    EXPECT_FALSE(w.History.Records[0].authenticated);
    EXPECT_EQ(w.History.Records[1].kind, HistoryRecord::Kind::Step);
    EXPECT_NEAR(w.History.Records[1].offsetSeconds, 42, 1e-3);
}

// The clock would be set to its own reading: that changes nothing, so nobody is asked for a
// password to do it.
TEST_F(Adjust, AfterAFailedFirstQueryLeavesTheClockAloneWithoutAskingAgain) {
    net.AddSilentServer("down.test");
    StartWithServers("down.test", false);

    c.AdjustClockButtonClick();
    c.AdjustClockButtonClick();

    EXPECT_EQ(net.Queried().size(), 1u);
    EXPECT_TRUE(w.Clock.Settings.empty());
    EXPECT_TRUE(w.Errors.empty());
    EXPECT_EQ(c.ClockOffset, 0);
}

TEST_F(Adjust, UsesTheClockSinceTheAnswerAndTheHeldOffset) {
    net.AddServer("up.test", Ahead(10));
    StartWithServers("up.test", false);
    c.CheckTimeServerButtonClick();
    const TDateTime serverAtAnswer = Ahead(10);

    w.Clock.AdvanceMilliseconds(2500);
    c.AdjustClockButtonClick();

    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], serverAtAnswer + 2.5 * kSecond, kMillisecond);
}

TEST_F(Adjust, AClockStepOrADaylightSavingChangeAfterTheAnswerDoesNotMoveTheTimeSet) {
    net.AddServer("up.test", Ahead(10));
    StartWithServers("up.test", false);
    c.CheckTimeServerButtonClick();
    const TDateTime serverAtAnswer = Ahead(10);

    w.Clock.AdvanceMilliseconds(1000);
    w.Clock.Local += 300 * kSecond;  // another program steps the clock
    c.AdjustClockButtonClick();
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], serverAtAnswer + 1 * kSecond, kMillisecond);

    // Summer time begins: local time jumps an hour ahead of a bias refreshed only at queries.
    w.Clock.AdvanceMilliseconds(2000);
    w.Clock.Local += 1.0 / 24;
    w.Clock.UtcMinusLocal -= 1.0 / 24;
    c.AdjustClockButtonClick();
    EXPECT_NEAR(w.Clock.Settings[1], serverAtAnswer + 3 * kSecond, kMillisecond);
}

TEST_F(Adjust, RefusedSettingIsReportedAndKeepsTheOffset) {
    net.AddServer("up.test", Ahead(10));
    StartWithServers("up.test", false);
    w.Clock.Refuse = true;
    w.Clock.RefusalReason = "Operation not permitted";

    c.AdjustClockButtonClick();

    EXPECT_EQ(w.Errors, std::vector<std::string>{
                            "Unable to set the computer clock: Operation not permitted"});
    EXPECT_NEAR(c.ClockOffset, 10 * kSecond, kMillisecond);
    c.UpdateTimerTimer();
    EXPECT_EQ(w.View.ServerText, DateTimeText(w.Clock.Local + 10 * kSecond));

    w.Clock.Refuse = false;
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Errors.size(), 1u);
    EXPECT_EQ(c.ClockOffset, 0);
}

TEST_F(Adjust, TraySynchronizationIsAFreshQueryThenASetting) {
    // The fake server's clock stands still, so only a new answer gives back exactly its time.
    const TDateTime served = Ahead(4);
    net.AddServer("up.test", served);
    StartWithServers("up.test", false);
    c.CheckTimeServerButtonClick();
    w.Clock.AdvanceMilliseconds(1000);

    c.Synchronizecomputerclock1Click();

    EXPECT_EQ(net.Queried().size(), 2u);
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], served, kMillisecond);
}

using Display = ControllerTest;

TEST_F(Display, LocalAndGmtShowBothFieldsAndCaptionsInTheSameMode) {
    net.AddServer("up.test", Ahead(90));
    StartWithServers("up.test", false);
    c.CheckTimeServerButtonClick();

    EXPECT_EQ(w.View.LocalText, DateTimeText(w.Clock.Local));
    EXPECT_EQ(w.View.ServerText, DateTimeText(w.Clock.Local + 90 * kSecond));
    EXPECT_EQ(w.View.LocalCaption, "Current time");
    EXPECT_EQ(w.View.ServerCaption, "Atomic clock time");

    c.DisplayLocalTime = false;
    const double offset = c.ClockOffset;
    c.UpdateTimerTimer();

    EXPECT_EQ(w.View.LocalText, DateTimeText(w.Clock.UtcNow()));
    EXPECT_EQ(w.View.ServerText, DateTimeText(w.Clock.UtcNow() + 90 * kSecond));
    EXPECT_EQ(w.View.LocalCaption, "Current time (GMT)");
    EXPECT_EQ(w.View.ServerCaption, "Atomic clock time (GMT)");
    EXPECT_EQ(c.ClockOffset, offset);
}

TEST_F(Display, ServerFieldIsLeftAloneUntilAServerHasAnswered) {
    c.FormCreate();
    w.View.ServerText = "";
    const std::size_t texts = w.View.ServerTexts.size();
    c.UpdateTimerTimer();
    c.DisplayLocalTime = false;
    c.UpdateTimerTimer();
    EXPECT_EQ(w.View.ServerTexts.size(), texts);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

constexpr const char* kRefused = "Unable to set the computer clock: Operation not permitted";

// Periodic synchronization every minute against a clock that refuses to be set.
class RefusedClock : public ControllerTest {
  protected:
    void StartPeriodic(bool autorun) {
        net.AddServer("ntp.test", Ahead(5));
        w.Clock.Refuse = true;
        w.SetKey("UpdateClock", "1");
        w.SetKey("UpdateClockInterval", "60000");
        w.SetKey("UpdateClockHour", "0");
        w.SetKey("GlobalAutorun", autorun ? "1" : "0");
        StartWithServers("ntp.test", false);
    }
    void Periods(int n) { w.Timer1.Advance(60000 * n); }
    std::size_t Told() const { return w.Errors.size(); }
};

TEST_F(RefusedClock, PeriodicRefusalIsToldOnceUntilASettingSucceeds) {
    StartPeriodic(false);
    Periods(5);
    EXPECT_EQ(w.Clock.Settings.size(), 5u);
    EXPECT_EQ(w.Errors, std::vector<std::string>{kRefused});
    // Nor does a password prompt come back every period; a click may ask again.
    EXPECT_EQ(w.Clock.Asks, (std::vector<AskUser>{AskUser::Yes, AskUser::No, AskUser::No,
                                                  AskUser::No, AskUser::No}));
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Clock.Asks.back(), AskUser::Yes);

    w.Clock.Refuse = false;
    Periods(1);
    w.Clock.Refuse = true;
    Periods(3);
    EXPECT_EQ(Told(), 3u);
}

TEST_F(RefusedClock, StartUpRefusalCountsAsTheOneTheFollowingPeriodsKeepQuietAbout) {
    StartPeriodic(true);
    EXPECT_EQ(Told(), 1u);
    Periods(3);
    EXPECT_EQ(Told(), 1u);
}

TEST_F(RefusedClock, ConfirmedOptionsLetTheNextPeriodicRefusalBeTold) {
    StartPeriodic(false);
    Periods(2);
    w.OptionsUser = [](OptionsValues&) { return false; };
    c.Options1Click();
    Periods(1);
    EXPECT_EQ(Told(), 1u);

    w.OptionsUser = [](OptionsValues&) { return true; };
    c.Options1Click();
    Periods(2);
    EXPECT_EQ(Told(), 2u);
}

TEST_F(RefusedClock, ARefusalTheUserAskedForIsAlwaysTold) {
    StartPeriodic(false);
    Periods(1);
    c.AdjustClockButtonClick();
    c.Synchronizecomputerclock1Click();
    c.AdjustClockButtonClick();
    EXPECT_EQ(Told(), 4u);
    Periods(2);
    EXPECT_EQ(Told(), 4u);
}

TEST_F(RefusedClock, TheBusyCursorIsOnWhileThePlatformDecides) {
    StartPeriodic(false);
    c.CheckTimeServerButtonClick();
    std::vector<bool> busyAtSetting;
    w.Clock.OnSet = [this, &busyAtSetting] { busyAtSetting.push_back(w.View.BusyCursor); };

    c.AdjustClockButtonClick();

    EXPECT_EQ(busyAtSetting, std::vector<bool>{true});
    EXPECT_FALSE(w.View.BusyCursor);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// The queries and the settings run on the worker, here held until the test lets them end.
class Commands : public ControllerTest {
  protected:
    void StartHeld(const std::string& list) {
        StartWithServers(list, false);
        w.Work.Hold = true;
    }
    void FinishAll() {
        while (!w.Work.Held.empty()) {
            w.Work.RunHeld();
        }
    }
};

TEST_F(Commands, RunOneAtATimeInTheOrderTheyCameAndTheSameOneWaitsOnlyOnce) {
    net.AddServer("up.test", Ahead(20));
    StartHeld("up.test");

    c.CheckTimeServerButtonClick();
    c.CheckTimeServerButtonClick();
    c.AdjustClockButtonClick();
    c.CheckTimeServerButtonClick();
    c.AdjustClockButtonClick();

    // The handlers came back at once, with one query under way and the busy cursor on.
    EXPECT_TRUE(c.CommandRunning());
    EXPECT_TRUE(w.View.BusyCursor);
    EXPECT_EQ(w.Work.Held.size(), 1u);
    EXPECT_TRUE(net.Queried().empty());
    FinishAll();
    EXPECT_EQ(net.Queried().size(), 2u);
    EXPECT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_FALSE(c.CommandRunning());
    EXPECT_FALSE(w.View.BusyCursor);
}

TEST_F(Commands, TheStartUpSynchronizationRunsBehindTheOpenWindow) {
    net.AddServer("ntp.test", Ahead(30));
    w.SetKey("GlobalAutorun", "1");
    w.Work.Hold = true;
    StartWithServers("ntp.test", false);

    EXPECT_TRUE(w.Clock.Settings.empty());
    EXPECT_TRUE(c.CommandRunning());
    FinishAll();
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], Ahead(30), kMillisecond);
}

// The machine's own NTP service keeps the clock.
class TimeServiceOn : public ControllerTest {
  protected:
    void SetUp() override {
        net.AddServer("ntp.test", Ahead(9));
        w.Clock.Service = TimeService{true, true};
        w.SetKey("UpdateClock", "1");
        w.SetKey("UpdateClockInterval", "60000");
        w.SetKey("GlobalAutorun", "1");
        StartWithServers("ntp.test", false);
    }
};

TEST_F(TimeServiceOn, UnattendedSynchronizationLeavesItAloneWithoutAWord) {
    w.Timer1.Advance(3 * 60000);

    EXPECT_EQ(net.Queried().size(), 4u);
    EXPECT_TRUE(w.Clock.Settings.empty());
    EXPECT_TRUE(w.Questions.empty());
    EXPECT_TRUE(w.Errors.empty());
    EXPECT_EQ(w.View.ServerText, DateTimeText(w.Clock.Local + 9 * kSecond));
}

TEST_F(TimeServiceOn, AClickAsksOnceWhetherToTurnItOffAndYesDoesSoBeforeSetting) {
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Questions, std::vector<std::string>{kTurnOffTimeService});
    EXPECT_EQ(w.Clock.ServiceStops, 0);
    EXPECT_TRUE(w.Clock.Settings.empty());

    w.Answer = [](const std::string&) { return true; };
    c.Synchronizecomputerclock1Click();
    EXPECT_EQ(w.Questions.size(), 2u);
    EXPECT_EQ(w.Clock.ServiceStops, 1);
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], Ahead(9), kMillisecond);
    EXPECT_FALSE(w.View.BusyCursor);

    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Questions.size(), 2u) << "the service is off now";
}

TEST_F(TimeServiceOn, ARefusalToTurnItOffIsToldInItsOwnWords) {
    w.Answer = [](const std::string&) { return true; };
    w.Clock.Refuse = true;
    w.Clock.RefusalReason = "Permission denied";
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Errors,
              std::vector<std::string>{"Unable to set the computer clock: Permission denied"});
    EXPECT_TRUE(w.Clock.Settings.empty());
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// A plain answer two hours (and more) off, during periodic synchronization every minute.
class StepGuard : public ControllerTest {
  protected:
    void StartPeriodic(double ahead, const char* limit = "3600") {
        net.AddServer("ntp.test", Ahead(ahead));
        w.SetKey("UpdateClock", "1");
        w.SetKey("UpdateClockInterval", "60000");
        w.SetKey("StepLimitSeconds", limit);
        StartWithServers("ntp.test", false);
    }
};

class StepGuardAt : public StepGuard, public ::testing::WithParamInterface<double> {};

TEST_P(StepGuardAt, UnattendedStepsOnAPlainAnswerGoUpToTheLimit) {
    const double ahead = GetParam();
    StartPeriodic(ahead);
    w.Timer1.Advance(60000);
    EXPECT_EQ(w.Clock.Settings.size(), std::fabs(ahead) <= 3600 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Offsets, StepGuardAt, ::testing::Values(3599.0, 3600.0, -3600.0, 3601.0));

TEST_F(StepGuard, BeyondTheLimitAnUnattendedStepIsLeftForAClickToldOnce) {
    StartPeriodic(7200);
    w.Timer1.Advance(3 * 60000);
    EXPECT_TRUE(w.Clock.Settings.empty());
    ASSERT_EQ(w.Errors.size(), 1u);
    EXPECT_EQ(w.Errors[0],
              "The computer clock was left alone: the server's time (not authenticated) is "
              "+2 h 0 min 0 s from it, more than the 1 h 0 min 0 s a synchronization nobody "
              "asked for may move it. Click \"Adjust time\" to set it.");
    EXPECT_NEAR(c.ClockOffset, 7200 * kSecond, kMillisecond) << "the server's time still shows";
}

TEST_F(StepGuard, AClickBeyondTheLimitAsksFirstShowingTheStep) {
    StartPeriodic(-3601);
    c.AdjustClockButtonClick();
    ASSERT_EQ(w.Questions.size(), 1u);
    EXPECT_EQ(w.Questions[0],
              "Setting the computer clock to the server's time moves it by -1 h 0 min 1 s, more "
              "than 1 h 0 min 0 s.\n\nSet the clock?");
    EXPECT_TRUE(w.Clock.Settings.empty());
    w.Answer = [](const std::string&) { return true; };
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Clock.Settings.size(), 1u);
}

TEST_F(StepGuard, ALimitOfZeroTurnsTheGuardOff) {
    StartPeriodic(86400, "0");
    w.Timer1.Advance(60000);
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Clock.Settings.size(), 2u);
    EXPECT_TRUE(w.Questions.empty());
    EXPECT_TRUE(w.Errors.empty());
}

TEST_F(StepGuard, TheStatusTellsWhatTheTimeIsWorth) {
    StartPeriodic(1.5);
    c.CheckTimeServerButtonClick();
    ASSERT_EQ(w.View.StatusLines.size(), 4u);
    EXPECT_EQ(w.View.StatusLines[0], "Answer from ntp.test, plain SNTP (not authenticated)");
    EXPECT_EQ(w.View.StatusLines[1].rfind("Offset +1.500 s \u00b1 ", 0), 0u)
        << w.View.StatusLines[1];
    EXPECT_EQ(w.View.StatusLines[3], "Clock not set since the program started");
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.View.StatusLines.back().rfind("Clock last set ", 0), 0u);
    EXPECT_NE(w.View.StatusLines.back().find(", by +1.500 s"), std::string::npos);
}

TEST_F(StepGuard, RepeatedUnattendedFailuresAreNotifiedOnceUntilAnAnswer) {
    net.AddSilentServer("down.test");
    w.SetKey("UpdateClock", "1");
    w.SetKey("UpdateClockInterval", "60000");
    StartWithServers("down.test", false);
    c.CheckTimeServerButtonClick();
    w.Timer1.Advance(2 * 60000);
    EXPECT_TRUE(w.View.Notifications.empty()) << "a click does not count";
    w.Timer1.Advance(60000);
    ASSERT_EQ(w.View.Notifications.size(), 1u);
    EXPECT_NE(w.View.Notifications[0].find("no answer within 5 s: UDP port 123 may be blocked"),
              std::string::npos);
    w.Timer1.Advance(5 * 60000);
    EXPECT_EQ(w.View.Notifications.size(), 1u);
    EXPECT_EQ(w.View.StatusLines,
              (std::vector<std::string>{"The server gave no time:",
                                        "down.test: no answer within 5 s: UDP port 123 may be "
                                        "blocked",
                                        "Clock not set since the program started",
                                        "Clock left alone " + DateTimeText(w.Clock.Local) +
                                            ": no server gave the time to set it by"}));
}

}  // namespace
}  // namespace velmora
