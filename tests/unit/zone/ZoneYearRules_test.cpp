#include "zone/ZoneYearRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/DateTime.h"
#include "platform/linux/LinuxTimeZone.h"
#include "sync/ClockZone.h"
#include "zone/TzifFile.h"

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

// Checks the zone rules read from every installed zone against the C library's own local time,
// in years the zone files list transitions for and in years only their closing rules cover.
namespace velmora {
namespace {
// The oracle keeps names of its own beside the rule tests above.
namespace oracle {

namespace fs = std::filesystem;
const fs::path kZoneinfo = "/usr/share/zoneinfo";

constexpr std::time_t kHour = 3600;
// An instant is compared only when the offset is the same this far before and after it: local
// times next to a transition are ambiguous or missing, and are compared without shifting.
constexpr std::time_t kExactMargin = 3 * kHour;
// Rules the layout can only approximate move a transition by up to a day.
constexpr std::time_t kApproximateMargin = 52 * kHour;
// What such a year may lose: its shortest stretches, counted in the weekly instants compared.
constexpr std::size_t kLostWeeks = 6;

// Years the zone files list transitions for themselves, and years only their closing rules cover.
constexpr int kListedYears[] = {2027, 2028, 2029, 2030, 2031, 2032, 2033, 2034, 2035};
constexpr int kRuleYears[] = {2039, 2040, 2041};

long OffsetAt(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_gmtoff;
}

TDateTime LocalAt(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return EncodeDateTime(
        {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0});
}

std::time_t YearStart(int year) {
    return static_cast<std::time_t>(ToUnixSeconds(EncodeDate(year, 1, 1)));
}

struct Tally {
    int zones = 0;
    long instants = 0;
    std::vector<std::string> approximated;
    std::map<std::string, std::string> leftOut;  // zone -> why
    std::vector<std::string> mismatches;
};

// Compares one zone (TZ already set) at instants through one year; returns the instants where the
// two disagree.
std::vector<std::string> CompareYear(const std::string& name, int year,
                                     const TimeZoneInformation& info, std::time_t margin,
                                     Tally& tally) {
    std::vector<std::string> mismatches;
    // A little over a week between instants, so that they wander through weekdays and hours.
    const std::time_t step = 7 * 24 * kHour + 5 * kHour + 17 * 60;
    for (std::time_t t = YearStart(year) + 14 * kHour; t < YearStart(year + 1) - 14 * kHour;
         t += step) {
        const long offset = OffsetAt(t);
        if (OffsetAt(t - margin) != offset || OffsetAt(t + margin) != offset) {
            continue;
        }
        ++tally.instants;
        const long expected = -offset / 60;
        const long got = info.Bias + DaylightBiasAt(info, LocalAt(t));
        if (got != expected) {
            mismatches.push_back(name + " at unix " + std::to_string(t) + ": " +
                                 std::to_string(got) + " for " + std::to_string(expected));
        }
    }
    return mismatches;
}

// Compares one zone (TZ already set) in every year looked at; notes the years the layout can only
// approximate.
void CompareZone(const std::string& name, const TzifContents& tzif, Tally& tally) {
    std::vector<int> years(std::begin(kListedYears), std::end(kListedYears));
    years.insert(years.end(), std::begin(kRuleYears), std::end(kRuleYears));
    for (int year : years) {
        const bool exact = ZoneRulesForYear(tzif, year).exact;
        if (!exact) {
            tally.approximated.push_back(name + " " + std::to_string(year) + " (" + tzif.footer +
                                         ")");
        }
        const auto mismatches = CompareYear(name, year, LinuxTimeZone().Read(year),
                                            exact ? kExactMargin : kApproximateMargin, tally);
        // A year with more changes than the layout holds loses its shortest stretches, weeks at
        // most; everything else must agree.
        if (mismatches.size() > (exact ? 0u : kLostWeeks)) {
            tally.mismatches.insert(tally.mismatches.end(), mismatches.begin(), mismatches.end());
        }
    }
}

bool LeftOut(const fs::path& relative, Tally& tally) {
    const std::string top = relative.begin()->string();
    if (top == "right") {
        tally.leftOut["right/*"] = "leap-second clocks: the C library's offsets count leap seconds";
        return true;
    }
    if (top == "posix") {
        tally.leftOut["posix/*"] = "copies of the zones at the top level";
        return true;
    }
    return false;
}

TEST(ZoneOracle, RulesAgreeWithTheCLibraryAcrossTheYears) {
    ASSERT_TRUE(fs::is_directory(kZoneinfo));
    const char* oldTz = std::getenv("TZ");
    const std::optional<std::string> saved =
        oldTz ? std::optional<std::string>(oldTz) : std::nullopt;
    Tally tally;
    for (const auto& entry : fs::recursive_directory_iterator(kZoneinfo)) {
        if (!entry.is_regular_file() || entry.is_symlink()) {
            continue;
        }
        const fs::path relative = fs::relative(entry.path(), kZoneinfo);
        const std::string name = relative.string();
        const auto tzif = ReadTzif(entry.path().string());
        if (!tzif || LeftOut(relative, tally)) {
            continue;  // not a zone file (tables, leap-second lists) or left out above
        }
        if (tzif->footer.empty() && tzif->transitions.empty()) {
            tally.leftOut[name] = "no rule and no transitions";
            continue;
        }
        setenv("TZ", name.c_str(), 1);
        tzset();
        ++tally.zones;
        CompareZone(name, *tzif, tally);
    }
    if (saved) {
        setenv("TZ", saved->c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();

    std::cout << "compared " << tally.zones << " zones at " << tally.instants << " instants\n";
    for (const std::string& zone : tally.approximated) {
        std::cout << "  approximated, compared " << kApproximateMargin / kHour
                  << " h away from transitions: " << zone << '\n';
    }
    for (const auto& [zone, why] : tally.leftOut) {
        std::cout << "  left out: " << zone << ": " << why << '\n';
    }
    EXPECT_GT(tally.zones, 300);
    EXPECT_GT(tally.instants, 100000);
    EXPECT_TRUE(tally.mismatches.empty()) << ::testing::PrintToString(tally.mismatches);
}

}  // namespace oracle
}  // namespace
}  // namespace velmora
