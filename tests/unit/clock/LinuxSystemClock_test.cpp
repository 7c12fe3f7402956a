#include "platform/LinuxSystemClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

namespace velmora {
namespace {

constexpr int kCapSysTime = 25;

// Whether the right to set the clock is in this process's effective set.
bool MaySetClock() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) == 0) {
            const unsigned long long caps = std::strtoull(line.c_str() + 7, nullptr, 16);
            return ((caps >> kCapSysTime) & 1u) != 0;
        }
    }
    return true;  // unknown: assume the worst
}

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

TEST(LinuxSystemClock, ReportsTheRefusalWithItsReason) {
    ASSERT_FALSE(MaySetClock())
        << "CAP_SYS_TIME is in the effective set: this test would set the real clock. Run it as "
           "setpriv --bounding-set -sys_time --inh-caps -sys_time -- ...";
    LinuxSystemClock clock;
    const ClockSetResult result = clock.SetUtc(clock.UtcNow());
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.reason, "Operation not permitted");
}

}  // namespace
}  // namespace velmora
