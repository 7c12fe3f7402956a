#include "sync/ClockZone.h"

#include <gtest/gtest.h>

#include "core/Error.h"
#include "tests/fixtures/FakeSystemClock.h"
#include "tests/fixtures/FakeTimeZoneSource.h"

namespace velmora {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

TEST(TransitionDay, FindsTheNamedWeekdayOfTheMonth) {
    // The last Sunday of October is just that, also when October 31 is a Saturday.
    EXPECT_EQ(TransitionDay(2026, 10, 0, 5), At(2026, 10, 25));
    EXPECT_EQ(TransitionDay(2025, 10, 0, 5), At(2025, 10, 26));
    EXPECT_EQ(TransitionDay(2020, 10, 0, 5), At(2020, 10, 25));
    EXPECT_EQ(TransitionDay(2025, 3, 0, 2), At(2025, 3, 9));
    EXPECT_EQ(TransitionDay(2025, 3, 0, 5), At(2025, 3, 30));
    // Day 1 itself when the month starts on the weekday; the fourth is the last week's.
    EXPECT_EQ(TransitionDay(2026, 2, 0, 1), At(2026, 2, 1));
    EXPECT_EQ(TransitionDay(2026, 2, 0, 4), At(2026, 2, 22));
    EXPECT_EQ(TransitionDay(2026, 3, 1, 1), At(2026, 3, 2));
}

TEST(TransitionDay, LastWeekdayOfFebruaryKnowsLeapYears) {
    EXPECT_EQ(TransitionDay(2024, 2, 4, 5), At(2024, 2, 29));  // a Thursday
    EXPECT_EQ(TransitionDay(2023, 2, 2, 5), At(2023, 2, 28));  // a Tuesday
    EXPECT_EQ(TransitionDay(2023, 2, 3, 5), At(2023, 2, 22));
    EXPECT_EQ(TransitionDay(2000, 2, 2, 5), At(2000, 2, 29));
    EXPECT_EQ(TransitionDay(1900, 2, 3, 5), At(1900, 2, 28));
}

TEST(TransitionDay, NoDayForAMonthOutsideTheYear) {
    EXPECT_EQ(TransitionDay(2025, 0, 0, 1), 0.0);
    EXPECT_EQ(TransitionDay(2025, 13, 0, 5), 0.0);
    EXPECT_EQ(TransitionDay(2025, 3, 0, 0), 0.0);
}

TEST(ZoneBias, WithoutDaylightSavingOnlyTheBiasCounts) {
    TimeZoneInformation info = FakeTimeZoneSource::Fixed(300);
    info.StandardBias = 15;
    info.DaylightBias = -60;
    info.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};  // one rule alone is no daylight saving
    const FakeTimeZoneSource zone(info);
    EXPECT_EQ(UpdateZoneBias(zone, At(2026, 7, 1, 12)), 300 / 1440.0);
    EXPECT_EQ(DaylightBiasAt(zone, At(2026, 1, 1)), 0);
}

TEST(ZoneBias, CentralEuropeSummerAndWinter) {
    const FakeTimeZoneSource zone(FakeTimeZoneSource::CentralEurope());
    EXPECT_EQ(UpdateZoneBias(zone, At(2026, 7, 15, 12)), -120 / 1440.0);
    EXPECT_EQ(UpdateZoneBias(zone, At(2026, 1, 15, 12)), -60 / 1440.0);
    EXPECT_EQ(DaylightBiasAt(zone, At(2026, 3, 29, 1, 59, 59, 999)), 0);
    EXPECT_EQ(DaylightBiasAt(zone, At(2026, 10, 25, 3, 0, 0, 1)), 0);
    // 2026: October 25, not November 1, ends daylight saving.
    EXPECT_EQ(DaylightBiasAt(zone, At(2026, 10, 28, 12)), 0);
}

TEST(ZoneBias, BoundsAreInclusiveInBothOrders) {
    TimeZoneInformation north = FakeTimeZoneSource::CentralEurope();
    north.StandardBias = 7;
    EXPECT_EQ(DaylightBiasAt(north, At(2026, 3, 29, 2)), -60);
    EXPECT_EQ(DaylightBiasAt(north, At(2026, 10, 25, 3)), -60);

    // Southern rules: standard time from the first Sunday of April 03:00, daylight from the
    // first Sunday of October 02:00, so daylight saving spans the turn of the year.
    TimeZoneInformation south;
    south.Bias = -600;
    south.StandardDate = {0, 4, 0, 1, 3, 0, 0, 0};
    south.StandardBias = 7;
    south.DaylightDate = {0, 10, 0, 1, 2, 0, 0, 0};
    south.DaylightBias = -60;
    EXPECT_EQ(DaylightBiasAt(south, At(2026, 4, 5, 3)), 7);
    EXPECT_EQ(DaylightBiasAt(south, At(2026, 10, 4, 2)), 7);
    EXPECT_EQ(DaylightBiasAt(south, At(2026, 1, 10)), -60);
    EXPECT_EQ(DaylightBiasAt(south, At(2026, 12, 31, 23)), -60);
    EXPECT_EQ(DaylightBiasAt(south, At(2026, 7, 1)), 7);
}

TEST(ZoneBias, FixedDatesApplyAsGivenAndFailWhenTheDayDoesNotExist) {
    TimeZoneInformation info = FakeTimeZoneSource::CentralEurope();
    info.DaylightDate = {2026, 5, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(DaylightBiasAt(info, At(2026, 4, 30, 23)), 0);
    EXPECT_EQ(DaylightBiasAt(info, At(2026, 5, 1)), -60);

    info.DaylightDate = {2026, 2, 0, 30, 0, 0, 0, 0};
    const FakeTimeZoneSource zone(info);
    try {
        UpdateZoneBias(zone, At(2026, 7, 1));
        FAIL() << "a February 30 was accepted";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid argument to date encode");
    }
}

TEST(ComputerClock, StepsByTheOffsetKeepingTheFractionOfTheSecondAndThePlatformsAnswer) {
    FakeSystemClock clock(At(2026, 7, 1, 14, 34, 56), -2.0 / 24);
    EXPECT_EQ(Now(clock), At(2026, 7, 1, 14, 34, 56));

    EXPECT_TRUE(SetComputerClock(clock, 0.999).accepted);
    ASSERT_EQ(clock.Settings.size(), 1u);
    EXPECT_EQ(DecodeDateTime(clock.Settings[0]), (DateTimeParts{2026, 7, 1, 12, 34, 56, 999}));

    clock.Refuse = true;
    const ClockSetResult refused = SetComputerClock(clock, 0.999);
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.reason, "Operation not permitted");
}

}  // namespace
}  // namespace velmora
