#include "platform/linux/LinuxSystemClock.h"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/fixtures/linux/SafetyChecks.h"

namespace velmora {
namespace {

TEST(LinuxSystemClock, ReadsLocalAndUtcToTheMillisecond) {
    LinuxSystemClock clock;
    const double before = static_cast<double>(std::time(nullptr));
    const TDateTime utc = clock.UtcNow();
    const TDateTime local = clock.LocalNow();
    const double after = static_cast<double>(std::time(nullptr)) + 1;
    EXPECT_GE(ToUnixSeconds(utc), before);
    EXPECT_LE(ToUnixSeconds(utc), after);

    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    EXPECT_NEAR((local - utc) * kSecondsPerDay, static_cast<double>(tm.tm_gmtoff), 2.0);

    // Milliseconds are kept: over many readings some are not on a whole second.
    bool fraction = false;
    for (int i = 0; i < 50 && !fraction; ++i) {
        fraction = DecodeDateTime(clock.UtcNow()).millisecond != 0;
    }
    EXPECT_TRUE(fraction);
}

// No system bus here (ctest points DBUS_SYSTEM_BUS_ADDRESS at nothing): clock_adjtime's refusal,
// and no time service to read. A step of nothing needs no right at all.
TEST(LinuxSystemClock, ReportsTheRefusalWithItsReasonAndAZeroStepAsksNobody) {
    ASSERT_STREQ(ClockSettingUnsafe(), "");
    LinuxSystemClock clock;
    for (const double offset : {3600.25, -0.5}) {
        const ClockSetResult result = clock.StepBy(offset, AskUser::Yes);
        EXPECT_FALSE(result.accepted) << offset;
        EXPECT_EQ(result.reason, "Operation not permitted") << offset;
    }
    EXPECT_TRUE(clock.StepBy(0.0000004, AskUser::Yes).accepted);
    const TimeService service = clock.ReadTimeService();
    EXPECT_FALSE(service.ntp || service.canNtp);
    EXPECT_FALSE(clock.StopTimeService(AskUser::Yes).accepted);
}

}  // namespace
}  // namespace velmora
