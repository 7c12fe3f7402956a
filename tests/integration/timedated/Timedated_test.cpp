#include <grp.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/LinuxSystemClock.h"
#include "tests/fixtures/SafetyChecks.h"
#include "tests/integration/timedated/PrivateSystemBus.h"

namespace velmora {
namespace {

// Without CAP_SYS_TIME the clock goes to timedated, here the mock on a private system bus, with
// polkit (mocked as well) granting the right unless a test says otherwise.
class Timedated : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_STREQ(ClockSettingUnsafe(), ""); }

    PrivateSystemBus bus;
    LinuxSystemClock clock;
};

TEST_F(Timedated, StepsByTheOffsetAllowingPolkitToAsk) {
    const ClockSetResult result = clock.StepBy(3600.25, AskUser::Yes);

    EXPECT_TRUE(result.accepted) << result.reason;
    const auto calls = bus.SetTimeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].usecUtc, 3600250000);
    EXPECT_TRUE(calls[0].relative);
    EXPECT_TRUE(calls[0].interactive);

    EXPECT_TRUE(clock.StepBy(-1.5, AskUser::No).accepted);
    ASSERT_EQ(bus.SetTimeCalls().size(), 2u);
    EXPECT_FALSE(bus.SetTimeCalls()[1].interactive);
}

// Who the program is for: an ordinary user, here "nobody" in a child process.
TEST_F(Timedated, AnOrdinaryUserIsHeardToo) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const gid_t nogroup = 65534;
        const bool dropped = setgroups(0, nullptr) == 0 && setgid(nogroup) == 0 &&
                             setuid(65534) == 0 && getuid() != 0;
        _exit(dropped && clock.StepBy(1, AskUser::Yes).accepted ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(bus.SetTimeCalls().size(), 1u);
}

TEST_F(Timedated, RefusalsComeInTheServicesOwnWords) {
    bus.SetNtp(true);
    ClockSetResult result = clock.StepBy(1, AskUser::Yes);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.reason, "Automatic time synchronization is enabled");

    bus.SetNtp(false);
    bus.SetAuthorized(false);
    result = clock.StepBy(1, AskUser::Yes);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.reason, "Permission denied");
    EXPECT_EQ(bus.SetTimeCalls().size(), 2u);
}

void Ignore(int) {}

// The program's own signals (a probe, a quit request) can arrive while polkit asks: the call
// goes on waiting for its one answer instead of failing or asking twice.
TEST_F(Timedated, ASignalDuringTheWaitNeitherEndsNorRepeatsTheCall) {
    bus.SetAuthorizationDelay(1.0);
    struct sigaction action {};
    action.sa_handler = Ignore;
    struct sigaction old {};
    sigaction(SIGUSR1, &action, &old);
    const pthread_t self = pthread_self();
    std::thread signaller([self] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pthread_kill(self, SIGUSR1);
    });

    const ClockSetResult result = clock.StepBy(1, AskUser::Yes);

    signaller.join();
    sigaction(SIGUSR1, &old, nullptr);
    EXPECT_TRUE(result.accepted) << result.reason;
    EXPECT_EQ(bus.SetTimeCalls().size(), 1u);
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
