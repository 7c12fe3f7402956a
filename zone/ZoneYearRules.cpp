#include "zone/ZoneYearRules.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/DateTime.h"
#include "zone/PosixZoneRule.h"

namespace velmora {
namespace {

constexpr std::int64_t kDaySeconds = 86400;

// A stretch of the local year with one offset; it starts at a local time read in the offset in
// force before it.
struct Segment {
    TDateTime start = 0;
    std::int32_t offset = 0;
    bool isDst = false;
};

std::int64_t UnixSeconds(TDateTime value) {
    return std::llround(ToUnixSeconds(value));
}

// The closing rule's own changes in `year`, as UTC instants in time order.
std::vector<TzifTransition> RuleChanges(const TimeZoneInformation& rule, int year) {
    if (rule.DaylightDate.wMonth == 0 || rule.StandardDate.wMonth == 0) {
        return {};
    }
    const std::int32_t standard = -rule.Bias * 60;
    const std::int32_t daylight = -(rule.Bias + rule.DaylightBias) * 60;
    const auto utc = [year](const TransitionRule& date, std::int32_t before) {
        return UnixSeconds(TransitionStart(date, year)) - before;
    };
    std::vector<TzifTransition> changes = {{utc(rule.DaylightDate, standard), daylight, true},
                                           {utc(rule.StandardDate, daylight), standard, false}};
    if (changes[1].at < changes[0].at) {
        std::swap(changes[0], changes[1]);
    }
    return changes;
}

// The stretches of local year `year`, walking every change from the zone's first offset on.
std::vector<Segment> YearSegments(const std::vector<TzifTransition>& changes,
                                  const Segment& initial, int year) {
    const TDateTime begin = EncodeDate(year, 1, 1);
    const TDateTime end = EncodeDate(year + 1, 1, 1);
    std::vector<Segment> segments;
    Segment current{begin, initial.offset, initial.isDst};
    for (const TzifTransition& change : changes) {
        const TDateTime at = FromUnixSeconds(double(change.at) + current.offset);
        if (at >= end) {
            break;
        }
        if (at <= begin) {
            current = {begin, change.offset, change.isDst};
        } else if (change.offset != current.offset) {
            segments.push_back(current);
            current = {at, change.offset, change.isDst};
        }
    }
    segments.push_back(current);
    return segments;
}

bool Representable(const std::vector<Segment>& s) {
    return s.size() <= 2 || (s.size() == 3 && s[0].offset == s[2].offset);
}

void JoinEqualNeighbours(std::vector<Segment>& s) {
    for (std::size_t i = 1; i < s.size();) {
        if (s[i].offset == s[i - 1].offset) {
            s.erase(s.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

// Gives the shortest stretches to their neighbours until the layout can hold the rest; false
// when it had to.
bool Fit(std::vector<Segment>& s, int year) {
    const TDateTime end = EncodeDate(year + 1, 1, 1);
    bool exact = true;
    while (!Representable(s)) {
        exact = false;
        std::size_t shortest = 0;
        TDateTime shortestLength = end;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const TDateTime length = (i + 1 < s.size() ? s[i + 1].start : end) - s[i].start;
            if (length < shortestLength) {
                shortest = i;
                shortestLength = length;
            }
        }
        if (shortest == 0) {
            s[1].start = s[0].start;
        }
        s.erase(s.begin() + static_cast<std::ptrdiff_t>(shortest));
        JoinEqualNeighbours(s);
    }
    return exact;
}

TransitionRule FixedDate(TDateTime local) {
    const DateTimeParts p = DecodeDateTime(local);
    return TransitionRule{static_cast<std::uint16_t>(p.year),
                          static_cast<std::uint16_t>(p.month),
                          0,
                          static_cast<std::uint16_t>(p.day),
                          static_cast<std::uint16_t>(p.hour),
                          static_cast<std::uint16_t>(p.minute),
                          static_cast<std::uint16_t>(p.second),
                          static_cast<std::uint16_t>(p.millisecond)};
}

// The last moment of the year: a stretch that runs to the year's end ends here.
TransitionRule YearEnd(int year) {
    return TransitionRule{static_cast<std::uint16_t>(year), 12, 0, 31, 23, 59, 59, 999};
}

// Standard time is the stretch not marked as daylight saving time; where the marks do not decide,
// the year's first offset.
TimeZoneInformation Layout(const std::vector<Segment>& s, int year) {
    TimeZoneInformation info;
    if (s.size() == 1) {
        info.Bias = -RoundedMinutes(s[0].offset);
        return info;
    }
    const TransitionRule back = s.size() == 3 ? FixedDate(s[2].start) : YearEnd(year);
    const bool firstIsStandard = !s[0].isDst || s[1].isDst;
    const Segment& standard = firstIsStandard ? s[0] : s[1];
    const Segment& daylight = firstIsStandard ? s[1] : s[0];
    info.Bias = -RoundedMinutes(standard.offset);
    info.DaylightBias = -RoundedMinutes(daylight.offset) - info.Bias;
    // Daylight from its start to the return, or (across the turn of the year) outside the
    // stretch of standard time.
    info.DaylightDate = firstIsStandard ? FixedDate(s[1].start) : back;
    info.StandardDate = firstIsStandard ? back : FixedDate(s[1].start);
    return info;
}

ZoneRules FromList(const TzifContents& tzif, const std::optional<PosixZone>& rule, int year) {
    std::vector<TzifTransition> changes = tzif.transitions;
    bool exact = true;
    if (rule) {
        for (const TzifTransition& change : RuleChanges(rule->info, year)) {
            if (change.at > changes.back().at) {
                changes.push_back(change);
                exact = exact && rule->exact;
            }
        }
    }
    std::vector<Segment> segments =
        YearSegments(changes, {0, tzif.initialOffset, tzif.initialIsDst}, year);
    exact = Fit(segments, year) && exact;
    return {Layout(segments, year), exact};
}

}  // namespace

ZoneRules ZoneRulesForYear(const TzifContents& tzif, int year) {
    const std::optional<PosixZone> rule = ParsePosixZone(tzif.footer, year);
    const auto& listed = tzif.transitions;
    // A day before local midnight of January 1 in UTC is before the local year, in every zone.
    const std::int64_t yearStart = UnixSeconds(EncodeDate(year, 1, 1)) - kDaySeconds;
    if (!listed.empty() && listed.back().at >= yearStart) {
        return FromList(tzif, rule, year);
    }
    if (rule) {
        return {rule->info, rule->exact};
    }
    ZoneRules fixed;
    // Text that is no rule reads as GMT, as the C library reads it; no rule at all keeps the
    // offset the file ends with.
    if (tzif.footer.empty()) {
        fixed.info.Bias =
            -RoundedMinutes(listed.empty() ? tzif.initialOffset : listed.back().offset);
    }
    return fixed;
}

}  // namespace velmora
