#include "sync/ClockStep.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/fixtures/ControllerTest.h"

namespace velmora {
namespace {

// Periodic synchronization every minute.
class Synchronization : public ControllerTest {
  protected:
    void StartPeriodic(const std::string& list, const char* limit = "3600") {
        w.SetKey("UpdateClock", "1");
        w.SetKey("UpdateClockInterval", "60000");
        w.SetKey("StepLimitSeconds", limit);
        StartWithServers(list, false);
    }
    void Period() { w.Timer1.Advance(60000); }
    // The step the fake clock only records, made.
    void TakeStep() { w.Clock.Local = w.Clock.Settings.back() - w.Clock.UtcMinusLocal; }
    std::string LeftAlone(const std::string& why) const {
        return "Clock left alone " + DateTimeText(w.Clock.Local) + ": " + why;
    }
};

// An hour after a good answer and its step the user puts the clock two minutes ahead; the
// servers then give no answer. The answer of an hour ago would take the user's change back.
TEST_F(Synchronization, WithoutAnAnswerOfItsOwnSetsNothingAndTheUsersChangeStays) {
    net.AddServer("up.test", Ahead(5));
    net.AddSilentServer("down.test");
    // The server's time stands still while the clock runs on: no limit to its steps.
    StartPeriodic("up.test", "0");
    Period();
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    TakeStep();

    w.Clock.AdvanceMilliseconds(3600000);
    w.Clock.Local += 120 * kSecond;
    c.ServerList = {"down.test"};
    Period();
    c.Synchronizecomputerclock1Click();

    EXPECT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_TRUE(w.Errors.empty());
    ASSERT_FALSE(w.View.StatusLines.empty());
    EXPECT_EQ(w.View.StatusLines.back(), LeftAlone("no server gave the time to set it by"));
    EXPECT_NE(w.View.StatusLines.end()[-2].find(", by +5.000 s"), std::string::npos);

    // The next answer sets the clock again, and the status forgets what was left alone.
    c.ServerList = {"up.test"};
    Period();
    EXPECT_EQ(w.Clock.Settings.size(), 2u);
    EXPECT_EQ(w.View.StatusLines.back().rfind("Clock last set ", 0), 0u);
}

enum class Via { Period, Tray, GetThenAdjust };

struct SmallStep {
    const char* name;
    Via via;
    double ahead;      // the server's stamps, seconds ahead of the clock when asked
    double roundTrip;  // seconds the exchange takes on the clock
    // "" when the step is made, else how closely the clock already agrees.
    const char* agreesWithin;
};

void PrintTo(const SmallStep& c, std::ostream* out) {
    *out << c.name;
}

class SmallSteps : public Synchronization, public ::testing::WithParamInterface<SmallStep> {};

// The answer is worth its offset give or take half the round trip, and the clock is read to the
// millisecond: a synchronization makes no smaller step. A click goes by the answer it showed.
TEST_P(SmallSteps, AreNotMadeBelowWhatTheAnswerCanTell) {
    const SmallStep& step = GetParam();
    net.AddServer("ntp.test", Ahead(step.ahead));
    net.DuringExchange = [this, &step] { w.Clock.AdvanceMilliseconds(step.roundTrip * 1000); };
    StartPeriodic("ntp.test");
    if (step.via == Via::Period) {
        Period();
    } else if (step.via == Via::Tray) {
        c.Synchronizecomputerclock1Click();
    } else {
        c.CheckTimeServerButtonClick();
        c.AdjustClockButtonClick();
    }
    const std::string within = step.agreesWithin;
    EXPECT_EQ(w.Clock.Settings.size(), within.empty() ? 1u : 0u);
    if (!within.empty()) {
        EXPECT_EQ(w.View.StatusLines.back(),
                  LeftAlone("it already agrees with the server within " + within));
    }
}

// With a round trip of 100 ms the offset is the server's lead less 50 ms.
INSTANTIATE_TEST_SUITE_P(
    Offsets, SmallSteps,
    ::testing::Values(SmallStep{"periodUnderAMillisecond", Via::Period, 0.0008, 0, "1.0 ms"},
                      SmallStep{"periodUnderAMillisecondBehind", Via::Period, -0.0008, 0, "1.0 ms"},
                      SmallStep{"periodOverAMillisecond", Via::Period, 0.0015, 0, ""},
                      SmallStep{"periodUnderHalfTheRoundTrip", Via::Period, 0.090, 0.1, "50.0 ms"},
                      SmallStep{"periodOverHalfTheRoundTrip", Via::Period, 0.110, 0.1, ""},
                      SmallStep{"trayUnderHalfTheRoundTrip", Via::Tray, 0.090, 0.1, "50.0 ms"},
                      SmallStep{"clickUnderAMillisecond", Via::GetThenAdjust, 0.0008, 0, "1.0 ms"},
                      SmallStep{"clickUnderHalfTheRoundTrip", Via::GetThenAdjust, 0.090, 0.1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnswerUncertainty, IsHalfTheRoundTripAndAtLeastAMillisecond) {
    EXPECT_DOUBLE_EQ(AnswerUncertainty(0.1), 0.05);
    EXPECT_DOUBLE_EQ(AnswerUncertainty(0.0015), 0.001);
    EXPECT_DOUBLE_EQ(AnswerUncertainty(-0.0001), 0.001);
}

class StepLimitRead : public Synchronization, public ::testing::WithParamInterface<const char*> {};

// A limit below zero, or no number, would have turned the guard off without a word.
TEST_P(StepLimitRead, BelowZeroOrNotANumberIsTheDefaultAndSaidSo) {
    const std::string limit = GetParam();
    net.AddServer("far.test", Ahead(30 * 86400));
    ::testing::internal::CaptureStderr();
    StartPeriodic("far.test", limit.c_str());
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(c.StepLimitSeconds, 3600);
    EXPECT_NE(told.find("StepLimitSeconds \"" + limit + "\""), std::string::npos) << told;
    Period();
    Period();
    EXPECT_TRUE(w.Clock.Settings.empty());
    ASSERT_EQ(w.Errors.size(), 1u);
    EXPECT_NE(w.Errors[0].find("more than the 1 h 0 min 0 s"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Values, StepLimitRead, ::testing::Values("-3600", "-1", "lots", "1e3"));

// The server's root dispersion is at its largest: it says it does not know the time.
TEST_F(Synchronization, AServerThatDoesNotKnowTheTimeIsToldSo) {
    net.AddUnsynchronizedServer("lost.test", Ahead(50));
    StartPeriodic("lost.test");
    Period();
    EXPECT_TRUE(w.Clock.Settings.empty());
    ASSERT_GE(w.View.StatusLines.size(), 2u);
    EXPECT_EQ(w.View.StatusLines[1], "lost.test: the server does not know the time");
}

}  // namespace
}  // namespace velmora
