#include "platform/ZoneYearRules.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/DateTime.h"
#include "sync/ClockZone.h"

namespace velmora {
namespace {

constexpr std::int32_t kHour = 3600;

std::int64_t Utc(int year, int month, int day, int hour) {
    return std::llround(ToUnixSeconds(EncodeDate(year, month, day) + hour / 24.0));
}

// Minutes to add to local time for GMT at a local date (noon), as the controller computes it.
std::int32_t BiasAt(const TimeZoneInformation& info, int year, int month, int day) {
    return info.Bias + DaylightBiasAt(info, EncodeDate(year, month, day) + 0.5);
}

// Standard time +1 h with a daylight period of +2 h listed for 2030 only; the closing rule keeps
// +1 h all year.
TzifContents OneSummer() {
    TzifContents tzif;
    tzif.footer = "<+01>-1";
    tzif.initialOffset = kHour;
    tzif.transitions = {{Utc(2030, 4, 1, 1), 2 * kHour, true}, {Utc(2030, 9, 1, 1), kHour, false}};
    return tzif;
}

TEST(ZoneYearRules, ListedTransitionsBecomeFixedDatesOfTheirYear) {
    const TzifContents tzif = OneSummer();
    const ZoneRules year = ZoneRulesForYear(tzif, 2030);
    EXPECT_TRUE(year.exact);
    EXPECT_EQ(year.info.DaylightDate, (TransitionRule{2030, 4, 0, 1, 2, 0, 0, 0}));
    EXPECT_EQ(year.info.StandardDate, (TransitionRule{2030, 9, 0, 1, 3, 0, 0, 0}));
    EXPECT_EQ(BiasAt(year.info, 2030, 3, 31), -60);
    EXPECT_EQ(BiasAt(year.info, 2030, 6, 1), -120);
    EXPECT_EQ(BiasAt(year.info, 2030, 9, 2), -60);
    // A year the list has left behind follows the closing rule.
    EXPECT_EQ(ZoneRulesForYear(tzif, 2031).info.DaylightDate.wMonth, 0);
    EXPECT_EQ(BiasAt(ZoneRulesForYear(tzif, 2031).info, 2031, 6, 1), -60);
}

TEST(ZoneYearRules, DaylightTimeAcrossTheTurnOfTheYear) {
    // In daylight time on January 1, out of it from March to October (southern hemisphere).
    TzifContents tzif;
    tzif.footer = "<+10>-10<+11>,M10.1.0,M4.1.0/3";
    tzif.initialOffset = 11 * kHour;
    tzif.initialIsDst = true;
    tzif.transitions = {{Utc(2030, 4, 6, 16), 10 * kHour, false},
                        {Utc(2030, 10, 5, 16), 11 * kHour, true},
                        {Utc(2031, 4, 5, 16), 10 * kHour, false}};
    const TimeZoneInformation info = ZoneRulesForYear(tzif, 2030).info;
    EXPECT_EQ(info.Bias, -600);
    EXPECT_EQ(BiasAt(info, 2030, 1, 15), -660);
    EXPECT_EQ(BiasAt(info, 2030, 7, 1), -600);
    EXPECT_EQ(BiasAt(info, 2030, 12, 1), -660);
}

TEST(ZoneYearRules, AStretchThatRunsPastTheYearsEnd) {
    // Daylight time begins in March and lasts into the next year, then ends in November.
    TzifContents tzif;
    tzif.footer = "CST5CDT,M3.2.0/0,M11.1.0/1";
    tzif.initialOffset = -5 * kHour;
    tzif.transitions = {{Utc(2030, 3, 10, 5), -4 * kHour, true},
                        {Utc(2031, 11, 2, 5), -5 * kHour, false},
                        {Utc(2032, 3, 14, 5), -4 * kHour, true},
                        {Utc(2037, 11, 1, 5), -5 * kHour, false}};
    const TimeZoneInformation first = ZoneRulesForYear(tzif, 2030).info;
    EXPECT_EQ(BiasAt(first, 2030, 1, 15), 300);
    EXPECT_EQ(BiasAt(first, 2030, 12, 15), 240);
    const TimeZoneInformation second = ZoneRulesForYear(tzif, 2031).info;
    EXPECT_EQ(second.Bias, 300);
    EXPECT_EQ(BiasAt(second, 2031, 1, 15), 240);
    EXPECT_EQ(BiasAt(second, 2031, 12, 15), 300);
}

TEST(ZoneYearRules, TheClosingRuleTakesOverAfterTheLastListedChange) {
    // The list ends with the spring change of 2030; the rule's autumn change follows in that year.
    TzifContents tzif;
    tzif.footer = "CET-1CEST,M3.5.0,M10.5.0/3";
    tzif.initialOffset = kHour;
    tzif.transitions = {{Utc(2030, 3, 31, 1), 2 * kHour, true}};
    const ZoneRules year = ZoneRulesForYear(tzif, 2030);
    EXPECT_TRUE(year.exact);
    EXPECT_EQ(BiasAt(year.info, 2030, 7, 1), -120);
    EXPECT_EQ(BiasAt(year.info, 2030, 11, 1), -60);
}

TEST(ZoneYearRules, MoreChangesThanTheLayoutHoldsKeepTheLongestStretches) {
    // +1, a month of +0, +1 again, then +0 for good from September: the short month gives way.
    TzifContents tzif;
    tzif.footer = "<+00>0";
    tzif.initialOffset = kHour;
    tzif.transitions = {{Utc(2030, 2, 15, 2), 0, true},
                        {Utc(2030, 3, 22, 2), kHour, false},
                        {Utc(2030, 9, 20, 1), 0, false},
                        {Utc(2038, 1, 19, 3), 0, false}};
    const ZoneRules year = ZoneRulesForYear(tzif, 2030);
    EXPECT_FALSE(year.exact);
    EXPECT_EQ(BiasAt(year.info, 2030, 1, 10), -60);
    EXPECT_EQ(BiasAt(year.info, 2030, 6, 1), -60);
    EXPECT_EQ(BiasAt(year.info, 2030, 11, 1), 0);
    EXPECT_EQ(BiasAt(ZoneRulesForYear(tzif, 2031).info, 2031, 6, 1), 0);
}

}  // namespace
}  // namespace velmora
