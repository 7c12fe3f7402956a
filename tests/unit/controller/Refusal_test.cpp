#include "tests/unit/controller/ControllerTest.h"

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
    w.OptionsUser = [](FakeOptionsControls&) { return false; };
    c.Options1Click();
    Periods(1);
    EXPECT_EQ(Told(), 1u);

    w.OptionsUser = [](FakeOptionsControls&) { return true; };
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
