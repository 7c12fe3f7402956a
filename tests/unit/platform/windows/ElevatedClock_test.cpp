#include "platform/windows/ElevatedClock.h"

#include <gtest/gtest.h>

#include "platform/windows/SystemMessage.h"
#include "tests/unit/platform/windows/WindowsFakes.h"

namespace velmora {
namespace {

TEST(ElevatedClock, TheCopyStepsToTheHeldTimeAsItIsWhenItSetsTheClock) {
    FakeClockCalls clock;
    FakeTimeService service;
    const HeldTicks held{kNewYear2026 + 42 * kTicksPerSecond, clock.steady};
    // The prompt stayed open for a minute and a half.
    clock.steady += 90 * kTicksPerSecond;
    clock.utc += 90 * kTicksPerSecond;
    EXPECT_EQ(RunPrivateCommand({StepClockArguments(held)}, clock, service), kPrivateCommandDone);
    EXPECT_EQ(clock.set, std::vector<std::uint64_t>{held.utc + 90 * kTicksPerSecond});

    clock.setAnswer = ERROR_PRIVILEGE_NOT_HELD;
    EXPECT_EQ(RunPrivateCommand({StepClockArguments(held)}, clock, service),
              ERROR_PRIVILEGE_NOT_HELD);
    clock.privilege = ERROR_NOT_ALL_ASSIGNED;
    EXPECT_EQ(RunPrivateCommand({StepClockArguments(held)}, clock, service),
              ERROR_NOT_ALL_ASSIGNED);
    EXPECT_EQ(clock.set.size(), 2u);

    EXPECT_EQ(RunPrivateCommand({StopTimeServiceArguments()}, clock, service), kPrivateCommandDone);
    service.stopAnswer = ERROR_SERVICE_REQUEST_TIMEOUT;
    EXPECT_EQ(RunPrivateCommand({StopTimeServiceArguments()}, clock, service),
              ERROR_SERVICE_REQUEST_TIMEOUT);
    EXPECT_EQ(service.stops, 2);
}

TEST(ElevatedClock, OnlyTheExactFormWrittenIsACommand) {
    EXPECT_EQ(StepClockArguments({134116992000000000ULL, 77}),
              "/VelmoraStepClock:134116992000000000:77");
    EXPECT_EQ(StopTimeServiceArguments(), "/VelmoraStopTimeService");
    const std::vector<std::vector<std::string>> others = {
        {},
        {""},
        {"/VelmoraStepClock:1:2", "extra"},
        {"/velmorastepclock:1:2"},
        {"/VelmoraStepClock:"},
        {"/VelmoraStepClock:1"},
        {"/VelmoraStepClock:1:"},
        {"/VelmoraStepClock::2"},
        {"/VelmoraStepClock:01:2"},
        {"/VelmoraStepClock:+1:2"},
        {"/VelmoraStepClock:-1:2"},
        {"/VelmoraStepClock: 1:2"},
        {"/VelmoraStepClock:1:2 "},
        {"/VelmoraStepClock:1:2:3"},
        {"/VelmoraStepClock:0x10:2"},
        {"/VelmoraStepClock:18446744073709551616:2"},
        {"/VelmoraStepClock:9223372036854775808:2"},
        {"/VelmoraStopTimeService:W32Time"},
        {"/VelmoraStopTimeService", "/VelmoraStopTimeService"},
        {"--help"},
    };
    for (const auto& args : others) {
        FakeClockCalls clock;
        FakeTimeService service;
        EXPECT_EQ(RunPrivateCommand(args, clock, service), std::nullopt)
            << (args.empty() ? "(none)" : args[0]);
        EXPECT_TRUE(clock.set.empty());
        EXPECT_EQ(service.stops, 0);
    }
    FakeClockCalls clock;
    FakeTimeService service;
    EXPECT_EQ(RunPrivateCommand({"/VelmoraStepClock:0:0"}, clock, service), kPrivateCommandDone);
}

TEST(ElevatedClock, HowTheCopyEndedIsToldInPlainWords) {
    struct Case {
        LaunchOutcome outcome;
        bool accepted;
        std::string reason;
    };
    const Case cases[] = {
        {{0, kPrivateCommandDone}, true, ""},
        {{ERROR_CANCELLED, 0},
         false,
         "The prompt for an administrator's approval was cancelled, so the clock was left as it "
         "was"},
        {{ERROR_FILE_NOT_FOUND, 0}, false, SystemMessage(ERROR_FILE_NOT_FOUND)},
        {{0, ERROR_PRIVILEGE_NOT_HELD}, false, SystemMessage(ERROR_PRIVILEGE_NOT_HELD)},
        // A copy that started as the program proper and ended: it set nothing.
        {{0, 0}, false, "The elevated copy of Velmora did not take its command"},
        {{0, 0xC0000005}, false, "The elevated copy of Velmora ended with code 0xC0000005"},
    };
    for (const Case& c : cases) {
        FakeLauncher launcher;
        launcher.answer = c.outcome;
        const ClockSetResult result = RunElevatedCopy(launcher, "/VelmoraStopTimeService");
        EXPECT_EQ(result.accepted, c.accepted) << c.reason;
        EXPECT_EQ(result.reason, c.reason);
        EXPECT_EQ(launcher.parameters, std::vector<std::string>{"/VelmoraStopTimeService"});
    }
    EXPECT_EQ(SystemMessage(ERROR_PRIVILEGE_NOT_HELD).back(), '.');
    EXPECT_EQ(SystemMessage(0x2FFFFFFF), "Windows error 805306367.");
}

}  // namespace
}  // namespace velmora
