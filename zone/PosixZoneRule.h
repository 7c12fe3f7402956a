#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "zone/ZoneInformation.h"

namespace velmora {

// A POSIX TZ rule string mapped onto the zone information layout.
struct PosixZone {
    TimeZoneInformation info;
    // False when the layout can only come close to the rule (a Julian day, a transition time
    // outside the day); the mapping is described beside the code.
    bool exact = true;
};

// Seconds as whole minutes, rounded: the layout counts minutes, and offsets with seconds occur
// only in local mean times of long ago.
std::int32_t RoundedMinutes(std::int64_t seconds);

// Parses a rule such as "CET-1CEST,M3.5.0,M10.5.0/3". Julian-day dates are placed by the
// weekday they fall on in `referenceYear`. Nothing for text that is not such a rule.
std::optional<PosixZone> ParsePosixZone(const std::string& rule, int referenceYear);

}  // namespace velmora
