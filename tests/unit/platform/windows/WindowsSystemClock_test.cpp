#include "platform/windows/WindowsSystemClock.h"
#include "core/Path.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/windows/ElevatedClock.h"
#include "platform/windows/SystemMessage.h"
#include "platform/windows/WindowsPath.h"
#include "platform/windows/WindowsProgramPath.h"
#include "sync/ClockStep.h"
#include "tests/unit/platform/windows/WindowsFakes.h"

namespace velmora {
namespace {

struct Bench {
    FakeClockCalls calls;
    FakeTimeService service;
    FakeLauncher launcher;
    WindowsSystemClock clock{calls, service, launcher};
};

TEST(WindowsClock, WithThePrivilegeTheClockIsSetHereAndARefusalIsToldNotHidden) {
    Bench bench;
    EXPECT_TRUE(bench.clock.StepBy(2.5, AskUser::Yes).accepted);
    EXPECT_TRUE(bench.clock.StepBy(-0.25, AskUser::No).accepted);
    EXPECT_EQ(bench.calls.set,
              (std::vector<std::uint64_t>{kNewYear2026 + 25000000, kNewYear2026 - 2500000}));
    // Nothing to move: nobody is asked.
    EXPECT_TRUE(bench.clock.StepBy(4e-7, AskUser::Yes).accepted);
    EXPECT_EQ(bench.calls.set.size(), 2u);

    bench.calls.setAnswer = ERROR_PRIVILEGE_NOT_HELD;
    const ClockSetResult refused = bench.clock.StepBy(3600, AskUser::Yes);
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.reason, SystemMessage(ERROR_PRIVILEGE_NOT_HELD));
    EXPECT_TRUE(bench.launcher.parameters.empty());
}

TEST(WindowsClock, WithoutThePrivilegeTheElevatedCopyStepsAndItsEndComesBack) {
    Bench bench;
    bench.calls.privilege = ERROR_NOT_ALL_ASSIGNED;
    // Unattended: no prompt.
    const ClockSetResult unattended = bench.clock.StepBy(10, AskUser::No);
    EXPECT_FALSE(unattended.accepted);
    EXPECT_EQ(unattended.reason,
              "Setting the clock needs an administrator's approval, and nobody was there to ask");
    EXPECT_TRUE(bench.launcher.parameters.empty());

    // The copy, with its own token, steps to the held time carried to its own moment.
    FakeClockCalls elevated = bench.calls;
    elevated.privilege = 0;
    FakeTimeService service;
    bench.launcher.copy = [&](const std::string& parameters) {
        elevated.steady += 30 * kTicksPerSecond;
        const auto code = RunPrivateCommand({parameters}, elevated, service);
        return LaunchOutcome{0, static_cast<unsigned long>(code.value_or(0))};
    };
    EXPECT_TRUE(bench.clock.StepBy(10, AskUser::Yes).accepted);
    EXPECT_EQ(bench.launcher.parameters,
              std::vector<std::string>{
                  StepClockArguments({kNewYear2026 + 10 * kTicksPerSecond, bench.calls.steady})});
    EXPECT_EQ(elevated.set, std::vector<std::uint64_t>{kNewYear2026 + 40 * kTicksPerSecond});
    EXPECT_TRUE(bench.calls.set.empty());

    bench.launcher.copy = nullptr;
    bench.launcher.answer = {ERROR_CANCELLED, 0};
    EXPECT_FALSE(bench.clock.StepBy(10, AskUser::Yes).accepted);
}

TEST(WindowsClock, TheTimeServiceIsReadAndStoppedHereOrThroughTheElevatedCopy) {
    Bench bench;
    const std::pair<ServiceState, TimeService> states[] = {{{false, false}, {false, false}},
                                                           {{true, false}, {true, false}},
                                                           {{true, true}, {true, true}}};
    for (const auto& [state, expected] : states) {
        bench.service.state = state;
        const TimeService read = bench.clock.ReadTimeService();
        EXPECT_EQ(read.canNtp, expected.canNtp);
        EXPECT_EQ(read.ntp, expected.ntp);
    }
    EXPECT_TRUE(bench.clock.StopTimeService(AskUser::No).accepted);
    bench.service.stopAnswer = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(bench.clock.StopTimeService(AskUser::No).accepted);
    EXPECT_TRUE(bench.launcher.parameters.empty());
    bench.launcher.answer = {0, kPrivateCommandDone};
    EXPECT_TRUE(bench.clock.StopTimeService(AskUser::Yes).accepted);
    EXPECT_EQ(bench.launcher.parameters, std::vector<std::string>{"/VelmoraStopTimeService"});
    bench.service.stopAnswer = ERROR_SERVICE_REQUEST_TIMEOUT;
    EXPECT_EQ(bench.clock.StopTimeService(AskUser::Yes).reason,
              SystemMessage(ERROR_SERVICE_REQUEST_TIMEOUT));
}

// sync's step over this clock: W32Time keeps the clock as timesyncd does on Linux.
TEST(WindowsClock, ARunningWindowsTimeServiceIsRespectedUnlessTheUserHasItStopped) {
    Bench bench;
    bench.service.state = {true, true};
    const HeldTime server{DateTimeOfTicks(kNewYear2026, false) + 5.0 / kSecondsPerDay,
                          bench.clock.SteadySeconds()};
    const StepOutcome left = StepToServer(bench.clock, server, AskUser::No, false);
    EXPECT_TRUE(left.timeServiceOn);
    EXPECT_TRUE(bench.calls.set.empty());
    EXPECT_EQ(bench.service.stops, 0);

    const StepOutcome stopped = StepToServer(bench.clock, server, AskUser::Yes, true);
    EXPECT_TRUE(stopped.result.accepted);
    EXPECT_EQ(bench.service.stops, 1);
    EXPECT_NEAR(stopped.offsetSeconds, 5.0, 1e-3);
    // The held time is a date-time value (days as a double): to well within its millisecond.
    ASSERT_EQ(bench.calls.set.size(), 1u);
    EXPECT_NEAR(static_cast<double>(bench.calls.set[0] - kNewYear2026), 5.0 * kTicksPerSecond,
                100.0);
}

// The real calls, as far as Wine lets them be made: every program is an administrator there, and
// SetSystemTime moves nothing.
TEST(WindowsClockUnderWine, ThePrivilegeIsHeldAndWineAcceptsOnlyStepsBelowHalfASecond) {
    WindowsClockCalls calls;
    EXPECT_EQ(calls.EnableTimePrivilege(), 0u);
    ScmTimeService service;
    ShellRunAs launcher(WindowsProgramPath().ExecutablePath());
    WindowsSystemClock clock(calls, service, launcher);
    const std::uint64_t utcBefore = calls.UtcTicks();
    const std::uint64_t steadyBefore = calls.SteadyTicks();
    EXPECT_TRUE(clock.StepBy(0.3, AskUser::Yes).accepted);
    EXPECT_TRUE(clock.StepBy(-0.3, AskUser::Yes).accepted);
    for (const double offset : {0.6, -0.6, 3600.0}) {
        const ClockSetResult refused = clock.StepBy(offset, AskUser::Yes);
        EXPECT_FALSE(refused.accepted) << offset;
        EXPECT_EQ(refused.reason, SystemMessage(ERROR_PRIVILEGE_NOT_HELD)) << offset;
    }
    // The clock was not moved: it went on as the steady clock did.
    const double drift = (static_cast<double>(calls.UtcTicks() - utcBefore) -
                          static_cast<double>(calls.SteadyTicks() - steadyBefore)) /
                         kTicksPerSecond;
    EXPECT_LT(std::abs(drift), 0.1);
}

TEST(WindowsClockUnderWine, TheElevatedCopyRunsThroughTheShellAndItsExitCodeComesBack) {
    ShellRunAs launcher(JoinWindowsPath(DirectoryOf(WindowsProgramPath().ExecutablePath()),
                                        "velmora_test_elevated_copy.exe"));
    WindowsClockCalls calls;
    const HeldTicks small{calls.UtcTicks() + kTicksPerSecond / 5, calls.SteadyTicks()};
    EXPECT_TRUE(RunElevatedCopy(launcher, StepClockArguments(small)).accepted);
    const HeldTicks large{calls.UtcTicks() + 60 * kTicksPerSecond, calls.SteadyTicks()};
    EXPECT_EQ(RunElevatedCopy(launcher, StepClockArguments(large)).reason,
              SystemMessage(ERROR_PRIVILEGE_NOT_HELD));
    EXPECT_EQ(RunElevatedCopy(launcher, "/VelmoraStepClock:x").reason,
              "The elevated copy of Velmora did not take its command");
    // Wine has no W32Time: nothing to stop is no failure.
    EXPECT_TRUE(RunElevatedCopy(launcher, StopTimeServiceArguments()).accepted);
    EXPECT_FALSE(ShellRunAs("C:\\nowhere\\velmora.exe").RunElevated("").launchError == 0);
}

TEST(WindowsClockUnderWine, ReadsUtcAndLocalTimeAndASteadyClock) {
    WindowsClockCalls calls;
    FakeTimeService service;
    FakeLauncher launcher;
    WindowsSystemClock clock(calls, service, launcher);
    // TZ=Europe/Berlin for these tests: an hour ahead in winter, two in summer.
    const double ahead = std::round((clock.LocalNow() - clock.UtcNow()) * 1440);
    EXPECT_TRUE(ahead == 60 || ahead == 120) << ahead;
    EXPECT_EQ(DateTimeOfTicks(kNewYear2026, false), EncodeDateTime({2026, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(DateTimeOfTicks(kNewYear2026 + 9999, true), EncodeDateTime({2026, 1, 1, 1, 0, 0, 0}));
    const double before = clock.SteadySeconds();
    Sleep(20);
    EXPECT_GT(clock.SteadySeconds(), before);
    EXPECT_STREQ(SteadyClockSource(), "GetTickCount64");  // Wine 8 has no interrupt-time calls
    EXPECT_EQ(ScmTimeService().Query().installed, false);
}

}  // namespace
}  // namespace velmora
