#include "platform/windows/WindowsTimeZone.h"

#include <gtest/gtest.h>

#include "sync/ClockZone.h"

namespace velmora {
namespace {

// The tests run with TZ=Europe/Berlin, which Wine turns into the Windows zone.
TEST(WindowsTimeZone, TheYearsRulesOfTheZoneInForce) {
    const TimeZoneInformation zone = WindowsTimeZone().Read(2025);
    EXPECT_EQ(zone.Bias, -60);
    EXPECT_EQ(zone.StandardBias, 0);
    EXPECT_EQ(zone.DaylightBias, -60);
    // The last Sunday of March at 02:00, of October at 03:00.
    EXPECT_EQ(zone.DaylightDate, (TransitionRule{0, 3, 0, 5, 2, 0, 0, 0}));
    EXPECT_EQ(zone.StandardDate, (TransitionRule{0, 10, 0, 5, 3, 0, 0, 0}));
    EXPECT_EQ(TransitionStart(zone.DaylightDate, 2025), EncodeDateTime({2025, 3, 30, 2, 0, 0, 0}));
    // The zone arithmetic on top is sync's.
    EXPECT_EQ(UpdateZoneBias(WindowsTimeZone(), EncodeDateTime({2025, 7, 1, 12, 0, 0, 0})),
              -120.0 / 1440);
    EXPECT_EQ(UpdateZoneBias(WindowsTimeZone(), EncodeDateTime({2026, 1, 1, 12, 0, 0, 0})),
              -60.0 / 1440);
    // A year beyond what the system keeps falls back to the rules of now.
    EXPECT_EQ(WindowsTimeZone().Read(1200).Bias, -60);
}

TEST(WindowsTimeZone, EveryFieldIsCarriedOver) {
    TIME_ZONE_INFORMATION windows{};
    windows.Bias = 300;
    windows.StandardBias = 1;
    windows.DaylightBias = -59;
    windows.StandardDate = {2024, 11, 0, 3, 2, 30, 15, 999};
    windows.DaylightDate = {0, 3, 6, 2, 1, 2, 3, 4};
    const TimeZoneInformation zone = FromWindowsZone(windows);
    EXPECT_EQ(zone.Bias, 300);
    EXPECT_EQ(zone.StandardBias, 1);
    EXPECT_EQ(zone.DaylightBias, -59);
    EXPECT_EQ(zone.StandardDate, (TransitionRule{2024, 11, 0, 3, 2, 30, 15, 999}));
    EXPECT_EQ(zone.DaylightDate, (TransitionRule{0, 3, 6, 2, 1, 2, 3, 4}));
}

}  // namespace
}  // namespace velmora
