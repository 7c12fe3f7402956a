#include "platform/LinuxSystemClock.h"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/fixtures/SafetyChecks.h"

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

// No system bus here (ctest points DBUS_SYSTEM_BUS_ADDRESS at nothing): clock_settime's refusal.
TEST(LinuxSystemClock, ReportsTheRefusalWithItsReason) {
    ASSERT_STREQ(ClockSettingUnsafe(), "");
    LinuxSystemClock clock;
    const ClockSetResult result = clock.SetUtc(clock.UtcNow(), AskUser::Yes);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.reason, "Operation not permitted");
}

}  // namespace
}  // namespace velmora
