#include <stdexcept>

#include "tests/unit/controller/ControllerTest.h"

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
