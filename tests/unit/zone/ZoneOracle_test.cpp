// Checks the zone rules read from every installed zone against the C library's own local time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/LinuxTimeZone.h"
#include "platform/PosixZoneRule.h"
#include "sync/ClockZone.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
const fs::path kZoneinfo = "/usr/share/zoneinfo";

constexpr std::time_t kHour = 3600;
// An instant is compared only when the offset is the same this far before and after it: local
// times next to a transition are ambiguous or missing, and are compared without shifting.
constexpr std::time_t kExactMargin = 3 * kHour;
// Rules the layout can only approximate move a transition by up to a day.
constexpr std::time_t kApproximateMargin = 52 * kHour;

constexpr std::time_t kFirstCompared = 1798761600;  // 2027-01-01 00:00 UTC
constexpr std::time_t kEndCompared = 2082758400;    // 2036-01-01 00:00 UTC

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

struct Tally {
    int zones = 0;
    long instants = 0;
    std::vector<std::string> approximated;
    std::map<std::string, std::string> leftOut;  // zone -> why
    std::vector<std::string> mismatches;
};

// Compares one zone (TZ already set) at instants over 2027-2035.
void CompareZone(const std::string& name, const TimeZoneInformation& info, std::time_t margin,
                 Tally& tally) {
    // A little over a week between instants, so that they wander through weekdays and hours.
    const std::time_t step = 7 * 24 * kHour + 5 * kHour + 17 * 60;
    for (std::time_t t = kFirstCompared; t < kEndCompared; t += step) {
        const long offset = OffsetAt(t);
        if (OffsetAt(t - margin) != offset || OffsetAt(t + margin) != offset) {
            continue;
        }
        ++tally.instants;
        const TDateTime local = LocalAt(t);
        const long expected = -offset / 60;
        const long got = info.Bias + DaylightBiasAt(info, local);
        if (got != expected && tally.mismatches.size() < 20) {
            tally.mismatches.push_back(name + " at unix " + std::to_string(t) + ": " +
                                       std::to_string(got) + " for " + std::to_string(expected));
        }
    }
}

// Why a zone's own transition list, not its closing rule, governs the compared years; nothing
// when the list either stops before them or follows a rule with daylight saving.
std::optional<std::string> OwnTransitions(const TzifContents& tzif,
                                          const TimeZoneInformation& info) {
    if (info.DaylightDate.wMonth != 0) {
        return std::nullopt;
    }
    int within = 0;
    for (std::int64_t t : tzif.transitions) {
        within += t >= kFirstCompared && t < kEndCompared ? 1 : 0;
    }
    if (within == 0) {
        return std::nullopt;
    }
    return "the file lists " + std::to_string(within) +
           " transitions of its own in 2027-2035; its closing rule (" + tzif.footer +
           ") applies only after them";
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
        const std::string* footer = &tzif->footer;
        const auto zone = ParsePosixZone(*footer, 2027);
        if (!zone) {
            tally.leftOut[name] =
                footer->empty() ? "no closing rule" : "rule not taken: " + *footer;
            continue;
        }
        if (const auto listed = OwnTransitions(*tzif, zone->info)) {
            tally.leftOut[name] = *listed;
            continue;
        }
        setenv("TZ", name.c_str(), 1);
        tzset();
        const TimeZoneInformation info = LinuxTimeZone().Read();
        if (!zone->exact) {
            tally.approximated.push_back(name + " (" + *footer + ")");
        }
        ++tally.zones;
        CompareZone(name, info, zone->exact ? kExactMargin : kApproximateMargin, tally);
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

}  // namespace
}  // namespace velmora
