#pragma once

#include <windows.h>

#include "platform/TimeZoneSource.h"

namespace velmora {

// The zone Windows is set to: GetTimeZoneInformationForYear for the year asked (a zone whose rules
// changed keeps each year's own), GetTimeZoneInformation where the system has no rules for that
// year.
class WindowsTimeZone : public TimeZoneSource {
  public:
    TimeZoneInformation Read(int year) const override;
};

// The fields the zone arithmetic uses, in the same layout.
TimeZoneInformation FromWindowsZone(const TIME_ZONE_INFORMATION& zone);

}  // namespace velmora
