// Feeds arbitrary bytes to the zone readers: as a TZif file, whose rules are then built for a few
// years, and as a POSIX rule text. Nothing may crash, and every layout built from a file must
// evaluate through the year without an error.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/DateTime.h"
#include "core/Error.h"
#include "sync/ClockZone.h"
#include "zone/PosixZoneRule.h"
#include "zone/TzifFile.h"
#include "zone/ZoneYearRules.h"

namespace {

constexpr int kYears[] = {1970, 2026, 2037, 2040};

// The bias in force on a few days through the year; a layout made from a file names only dates
// that exist, so it never fails.
void Evaluate(const velmora::TimeZoneInformation& info, int year, bool mayFail) {
    for (int month = 1; month <= 12; month += 3) {
        try {
            velmora::DaylightBiasAt(info, velmora::EncodeDate(year, month, 15) + 0.5);
        } catch (const velmora::Error&) {
            if (!mayFail) {
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto tzif = velmora::ParseTzif(bytes)) {
        for (int year : kYears) {
            Evaluate(velmora::ZoneRulesForYear(*tzif, year).info, year, false);
        }
    }
    for (int year : kYears) {
        if (const auto rule = velmora::ParsePosixZone(std::string(bytes), year)) {
            Evaluate(rule->info, year, false);
        }
    }
    return 0;
}
