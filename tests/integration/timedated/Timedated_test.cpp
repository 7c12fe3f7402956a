#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/linux/LinuxSystemClock.h"
#include "tests/fixtures/linux/AsUser.h"
#include "tests/fixtures/linux/SafetyChecks.h"
#include "tests/integration/timedated/PrivateSystemBus.h"

namespace velmora {
namespace {

// How far the server's time is ahead of the clock: as far as a badly set clock may be.
constexpr double kServerAhead = 3600.25;

void Ignore(int) {}

// StepBy as the program calls it for a desktop user: as nobody, in a child process. A SIGUSR1
// reaches that process `signalAfter` into the wait, as the program's own signals may.
ClockSetResult StepAsNobody(double offset, AskUser ask,
                            std::chrono::milliseconds signalAfter = {}) {
    struct sigaction action {};
    action.sa_handler = Ignore;
    struct sigaction old {};
    sigaction(SIGUSR1, &action, &old);
    const std::string said = AsUser(
        [&] {
            const ClockSetResult result = LinuxSystemClock().StepBy(offset, ask);
            return (result.accepted ? "1" : "0") + result.reason;
        },
        [&](pid_t child) {
            if (signalAfter.count() > 0) {
                std::this_thread::sleep_for(signalAfter);
                kill(child, SIGUSR1);
            }
        });
    sigaction(SIGUSR1, &old, nullptr);
    if (said.empty()) {
        return {false, "the child said nothing"};
    }
    return {said[0] == '1', said.substr(1)};
}

// Debian's systemd-timedated on a private bus, its clock calls answered by the clock shim, with
// polkit (mocked) granting the right unless a test says otherwise. Once polkit has answered,
// timedated runs the whole request again: a time computed before the call would be stale by the
// prompt, an offset is added to the clock when it is set.
class RealTimedated : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_STREQ(ClockSettingUnsafe(), ""); }

    PrivateSystemBus bus{PrivateSystemBus::kWithRealTimedated};
};

TEST_F(RealTimedated, SetsTheServersTimeHoweverLongPolkitTakes) {
    ClockSetResult result = StepAsNobody(0.0000004, AskUser::Yes);
    EXPECT_TRUE(result.accepted) << result.reason;
    EXPECT_FALSE(bus.TimedatedHeard("SetTime")) << "an offset of zero asked timedated";

    struct Case {
        double polkitDelay;
        double serverAhead;
    };
    std::size_t steps = 0;
    for (const Case& c : {Case{3.0, kServerAhead}, Case{5.0, -kServerAhead}}) {
        bus.SetAuthorizationDelay(c.polkitDelay);
        // The signal comes while polkit has not answered: the one call goes on waiting.
        result = StepAsNobody(c.serverAhead, AskUser::Yes, std::chrono::milliseconds(1000));
        EXPECT_TRUE(result.accepted) << result.reason;
        const auto calls = bus.ClockCalls("set");
        ASSERT_EQ(calls.size(), ++steps) << "one step, one setting of the clock";
        const double error = calls.back().value - (calls.back().at + c.serverAhead);
        std::printf(
            "polkit answered after %.0f s, server %+.2f s: timedated would set %+.3f ms "
            "from the server's time\n",
            c.polkitDelay, c.serverAhead, error * 1000);
        EXPECT_LT(std::abs(error), 0.005);
    }
    EXPECT_EQ(bus.PolkitQuestionsInteractive(), std::vector<bool>(2, true));
    const TimeService service = LinuxSystemClock().ReadTimeService();
    EXPECT_FALSE(service.ntp || service.canNtp) << "no NTP unit is listed for this timedated";
}

TEST_F(RealTimedated, RefusalsComeInItsOwnWords) {
    bus.SetAuthorized(false);
    ClockSetResult result = StepAsNobody(-1.5, AskUser::No);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.reason, "Permission denied");
    EXPECT_EQ(bus.PolkitQuestionsInteractive(), std::vector<bool>{false});

    // A prompt left open: timedated gives polkit 25 s and then answers itself.
    bus.SetPromptUnattended(true);
    result = StepAsNobody(kServerAhead, AskUser::Yes);
    bus.SetPromptUnattended(false);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.reason,
              "The password prompt was not answered within the 25 seconds systemd-timedated "
              "allows");
    EXPECT_TRUE(bus.ClockCalls().empty());
}

// What the real timedated cannot show without systemd's units: an NTP service that keeps the
// clock. The mock stands in for it.
TEST(TimedatedMock, AnNtpServiceThatKeepsTheClockRefusesInItsOwnWords) {
    PrivateSystemBus bus;
    bus.SetNtp(true);
    LinuxSystemClock clock;
    EXPECT_TRUE(clock.ReadTimeService().ntp);
    const ClockSetResult result = clock.StepBy(1, AskUser::Yes);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.reason, "Automatic time synchronization is enabled");
}

TEST(TimedatedMissing, NoBusOrNoTimedatedLeavesTheRefusalOfClockSettime) {
    ASSERT_STREQ(ClockSettingUnsafe(), "");
    LinuxSystemClock clock;
    {
        PrivateSystemBus withoutTimedated(PrivateSystemBus::kWithoutTimedated);
        const ClockSetResult result = clock.StepBy(1, AskUser::Yes);
        EXPECT_FALSE(result.accepted);
        EXPECT_EQ(result.reason, "Operation not permitted");
    }
    const std::string previous = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velmora/system_bus_socket", 1);
    const ClockSetResult result = clock.StepBy(1, AskUser::Yes);
    setenv("DBUS_SYSTEM_BUS_ADDRESS", previous.c_str(), 1);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.reason, "Operation not permitted");
}

}  // namespace
}  // namespace velmora
