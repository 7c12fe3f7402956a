#include <chrono>
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "net/SNTPsend.h"
#include "sync/DateTimeText.h"
#include "tests/fixtures/FakeMainWindow.h"
#include "tests/fixtures/linux/NtpResponder.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

// Within the hour a synchronization nobody asked for may step the clock by.
constexpr double kOffsetSeconds = 1800.25;
// Loopback round trips and a busy build machine; far below any offset the tests look for.
constexpr double kTolerance = 0.05 / kSecondsPerDay;
constexpr const char* kChronyd = "127.0.0.1";
constexpr const char* kAnswering = "127.0.0.2";
constexpr const char* kSilent = "127.0.0.3";
constexpr const char* kLate = "127.0.0.4";

NtpResponder::Options At(const char* address, std::chrono::milliseconds delay = 0ms) {
    NtpResponder::Options options;
    options.address = address;
    options.delay = delay;
    return options;
}

// The controller with real SNTP clients asking real servers on loopback: chronyd on
// 127.0.0.1 and responders on other loopback addresses, all on the "ntp" port. The computer
// clock is read for real (as UTC, in a zone at GMT) and every setting only recorded.
class ControllerOnLoopback : public ::testing::Test {
  protected:
    ControllerOnLoopback() {
        w.Zone.Info = FakeTimeZoneSource::Fixed(0);
        w.Clock.LocalSource = [] { return CurrentUtcTime(); };
        w.Clients = [this] {
            auto client = std::make_unique<TSNTPSend>();
            client->ReplyTimeout = replyTimeout;
            return client;
        };
    }

    void Start(const std::string& list, bool nextOnFail, bool autorun = false) {
        w.SetKey("GlobalTimeSrvList", list);
        w.SetKey("GlobalNextSrvOnFail", nextOnFail ? "1" : "0");
        w.SetKey("GlobalAutorun", autorun ? "1" : "0");
        c.FormCreate();
    }

    std::int32_t replyTimeout = 300;
    NtpResponder answering{At(kAnswering), NtpResponder::Standard(kOffsetSeconds)};
    NtpResponder silent{At(kSilent), NtpResponder::Silent()};
    FakeMainWindow w;
    SyncController& c = w.Controller;
};

TEST_F(ControllerOnLoopback, FirstServerSilentSecondAnswersWhenTryingTheNext) {
    Start(std::string(kSilent) + "|" + kAnswering, true);

    c.CheckTimeServerButtonClick();

    EXPECT_EQ(silent.Requests().size(), 1u);
    EXPECT_EQ(answering.Requests().size(), 1u);
    EXPECT_TRUE(c.ServerTimeKnown);
    EXPECT_NEAR(c.ClockOffset, kOffsetSeconds / kSecondsPerDay, kTolerance);
    EXPECT_EQ(w.View.ServerTexts.end()[-2], kFailedToContact);
    EXPECT_NE(w.View.ServerText, kFailedToContact);
    EXPECT_FALSE(w.View.BusyCursor);
}

TEST_F(ControllerOnLoopback, OnlyTheFirstServerIsAskedWithoutTryingTheNext) {
    Start(std::string(kSilent) + "|" + kAnswering, false);

    c.CheckTimeServerButtonClick();

    EXPECT_EQ(silent.Requests().size(), 1u);
    EXPECT_TRUE(answering.Requests().empty());
    EXPECT_FALSE(c.ServerTimeKnown);
    EXPECT_EQ(w.View.ServerText, kFailedToContact);
}

TEST_F(ControllerOnLoopback, LateReplyOfTheFirstServerIsNotTakenForTheSecondsAnswer) {
    // The late reply lands early in the second query, well before the second server answers;
    // margins of hundreds of milliseconds on either side keep a busy machine from deciding.
    replyTimeout = 1000;
    NtpResponder late{At(kLate, 1100ms), NtpResponder::Standard(-500)};
    Start(std::string(kLate) + "|" + kAnswering, true);
    answering.SetDelay(600ms);

    c.CheckTimeServerButtonClick();

    EXPECT_TRUE(late.WaitForRequests(1, 1s));
    EXPECT_NEAR(c.ClockOffset, kOffsetSeconds / kSecondsPerDay, 0.5 / kSecondsPerDay);
}

TEST_F(ControllerOnLoopback, AutorunAtStartAsksOnceAndSetsTheClockOnceDuringStartUp) {
    Start(kAnswering, false, true);

    EXPECT_EQ(answering.Requests().size(), 1u);
    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], CurrentUtcTime() + kOffsetSeconds / kSecondsPerDay,
                kTolerance);
    EXPECT_EQ(c.ClockOffset, 0);
}

TEST_F(ControllerOnLoopback, AdjustAfterAFailedFirstQueryLeavesTheClockAsItIs) {
    Start(kSilent, false);

    c.AdjustClockButtonClick();
    c.AdjustClockButtonClick();

    EXPECT_EQ(silent.Requests().size(), 1u);
    EXPECT_TRUE(w.Clock.Settings.empty());
    EXPECT_TRUE(w.Errors.empty());
}

TEST_F(ControllerOnLoopback, ChronydsAnswerSetsTheClockToWithinMillisecondsOfItsOwn) {
    Start(kChronyd, false);

    c.AdjustClockButtonClick();

    ASSERT_EQ(w.Clock.Settings.size(), 1u);
    EXPECT_NEAR(w.Clock.Settings[0], CurrentUtcTime(), kTolerance);
    EXPECT_TRUE(c.ServerTimeKnown);
    EXPECT_EQ(c.ClockOffset, 0);
}

TEST_F(ControllerOnLoopback, RefusedSettingKeepsTheOffsetAndReportsTheReason) {
    w.Clock.Refuse = true;
    Start(kAnswering, false, true);

    EXPECT_EQ(w.Errors, std::vector<std::string>{
                            "Unable to set the computer clock: Operation not permitted"});
    EXPECT_NEAR(c.ClockOffset, kOffsetSeconds / kSecondsPerDay, kTolerance);
}

}  // namespace
}  // namespace velmora
