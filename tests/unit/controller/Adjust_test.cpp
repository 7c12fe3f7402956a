#include "tests/unit/controller/ControllerTest.h"

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
}

TEST_F(Adjust, AfterAFailedFirstQuerySetsTheClockToItsOwnReadingWithoutAskingAgain) {
    net.AddSilentServer("down.test");
    StartWithServers("down.test", false);

    c.AdjustClockButtonClick();
    c.AdjustClockButtonClick();

    EXPECT_EQ(net.Queried().size(), 1u);
    ASSERT_EQ(w.Clock.Settings.size(), 2u);
    EXPECT_NEAR(w.Clock.Settings[0], w.Clock.UtcNow(), kMillisecond);
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
