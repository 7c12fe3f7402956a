#include "zone/PosixZoneRule.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TransitionRule Rule(int month, int weekday, int occurrence, int hour, int minute = 0,
                    int second = 0, int ms = 0) {
    TransitionRule rule;
    rule.wMonth = static_cast<std::uint16_t>(month);
    rule.wDayOfWeek = static_cast<std::uint16_t>(weekday);
    rule.wDay = static_cast<std::uint16_t>(occurrence);
    rule.wHour = static_cast<std::uint16_t>(hour);
    rule.wMinute = static_cast<std::uint16_t>(minute);
    rule.wSecond = static_cast<std::uint16_t>(second);
    rule.wMilliseconds = static_cast<std::uint16_t>(ms);
    return rule;
}

TEST(PosixZoneRule, CentralEuropeMapsOntoBiasesAndRules) {
    const auto zone = ParsePosixZone("CET-1CEST,M3.5.0,M10.5.0/3", 2026);
    ASSERT_TRUE(zone);
    EXPECT_TRUE(zone->exact);
    EXPECT_EQ(zone->info.Bias, -60);
    EXPECT_EQ(zone->info.StandardBias, 0);
    EXPECT_EQ(zone->info.DaylightBias, -60);
    EXPECT_EQ(zone->info.DaylightDate, Rule(3, 0, 5, 2));
    EXPECT_EQ(zone->info.StandardDate, Rule(10, 0, 5, 3));
}

TEST(PosixZoneRule, OffsetsNamesAndDefaults) {
    const auto fixed = ParsePosixZone("<+05>-5", 2026);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->info.Bias, -300);
    EXPECT_EQ(fixed->info.DaylightDate.wMonth, 0);
    EXPECT_EQ(fixed->info.StandardDate.wMonth, 0);

    const auto west = ParsePosixZone("NST3:30NDT,M3.2.0,M11.1.0", 2026);
    ASSERT_TRUE(west);
    EXPECT_EQ(west->info.Bias, 210);
    EXPECT_EQ(west->info.DaylightBias, -60);

    // Half an hour of daylight saving, given explicitly; start times with minutes.
    const auto lordHowe = ParsePosixZone("<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", 2026);
    ASSERT_TRUE(lordHowe);
    EXPECT_EQ(lordHowe->info.Bias, -630);
    EXPECT_EQ(lordHowe->info.DaylightBias, -30);
    const auto chatham = ParsePosixZone("<+1245>-12:45<+1345>,M9.5.0/2:45,M4.1.0/3:45", 2026);
    ASSERT_TRUE(chatham);
    EXPECT_EQ(chatham->info.DaylightDate, Rule(9, 0, 5, 2, 45));

    // Daylight time behind standard time, as Irish rules are written.
    const auto dublin = ParsePosixZone("IST-1GMT0,M10.5.0,M3.5.0/1", 2026);
    ASSERT_TRUE(dublin);
    EXPECT_EQ(dublin->info.DaylightBias, 60);

    // A daylight name without dates takes the rules the C library assumes.
    const auto us = ParsePosixZone("EST5EDT", 2026);
    ASSERT_TRUE(us);
    EXPECT_EQ(us->info.Bias, 300);
    EXPECT_EQ(us->info.DaylightDate, Rule(3, 0, 2, 2));
    EXPECT_EQ(us->info.StandardDate, Rule(11, 0, 1, 2));
}

TEST(PosixZoneRule, TimesOutsideTheDayStayOnTheirDate) {
    const auto nuuk = ParsePosixZone("<-02>2<-01>,M3.5.0/-1,M10.5.0/0", 2026);
    ASSERT_TRUE(nuuk);
    EXPECT_FALSE(nuuk->exact);
    EXPECT_EQ(nuuk->info.DaylightDate, Rule(3, 0, 5, 0));
    EXPECT_EQ(nuuk->info.StandardDate, Rule(10, 0, 5, 0));

    const auto israel = ParsePosixZone("IST-2IDT,M3.4.4/26,M10.5.0", 2026);
    ASSERT_TRUE(israel);
    EXPECT_FALSE(israel->exact);
    EXPECT_EQ(israel->info.DaylightDate, Rule(3, 4, 4, 23, 59, 59, 999));

    const auto chile = ParsePosixZone("<-04>4<-03>,M9.1.6/24,M4.1.6/24", 2026);
    ASSERT_TRUE(chile);
    EXPECT_EQ(chile->info.StandardDate, Rule(4, 6, 1, 23, 59, 59, 999));
}

TEST(PosixZoneRule, JulianDaysBecomeTheWeekdayOfTheReferenceYear) {
    // J60 is March 1 in every year; March 1, 2026 is the first Sunday of March.
    const auto julian = ParsePosixZone("AAA3BBB,J60/1,J300", 2026);
    ASSERT_TRUE(julian);
    EXPECT_FALSE(julian->exact);
    EXPECT_EQ(julian->info.DaylightDate, Rule(3, 0, 1, 1));
    // J300 is October 27: in 2026 the fourth Tuesday.
    EXPECT_EQ(julian->info.StandardDate, Rule(10, 2, 4, 2));

    // Zero-based days count February 29: day 59 of 2024 is that Thursday, the month's last.
    const auto zeroBased = ParsePosixZone("AAA3BBB,59,365", 2024);
    ASSERT_TRUE(zeroBased);
    EXPECT_EQ(zeroBased->info.DaylightDate, Rule(2, 4, 5, 2));
    EXPECT_EQ(zeroBased->info.StandardDate, Rule(12, 2, 5, 2));  // December 31, 2024
    const auto lastDay = ParsePosixZone("AAA3BBB,0,365", 2025);
    ASSERT_TRUE(lastDay);
    EXPECT_EQ(lastDay->info.StandardDate, Rule(12, 3, 5, 2));  // no day 366: December 31
}

TEST(PosixZoneRule, RejectsTextThatIsNoRule) {
    for (const char* text :
         {"", "CE-1", "CET", "CET-", "Europe/Berlin", "CET-1CEST,M3.5.0",
          "CET-1CEST,M13.5.0,M10.5.0", "CET-1CEST,M3.6.0,M10.5.0", "CET-1CEST,M3.5.7,M10.5.0",
          "CET-1CEST,M3.0.0,M10.5.0", "CET-1CEST,J0,J100", "CET-1CEST,366,1",
          "CET-1CEST,M3.5.0/x,M10.5.0", "CET-1 ", "CET-25", "<CET-1", "<>-1", "CET-1:60"}) {
        EXPECT_FALSE(ParsePosixZone(text, 2026)) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace velmora
