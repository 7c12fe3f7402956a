#pragma once

#include "zone/TzifFile.h"
#include "zone/ZoneInformation.h"

namespace velmora {

// A zone's rules in the layout, and whether the layout holds them exactly.
struct ZoneRules {
    TimeZoneInformation info;
    bool exact = true;
};

// The rules of local calendar year `year`. Where the file lists transitions of its own in that
// year they decide, as fixed dates of that year (after the last of them the closing rule's own
// changes count too); a year beyond the list follows the closing rule. A year with more changes
// than the layout holds (one stretch of a second offset, inside the year or across its turn) keeps
// its longest stretches and is marked inexact.
ZoneRules ZoneRulesForYear(const TzifContents& tzif, int year);

}  // namespace velmora
