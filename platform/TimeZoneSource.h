#pragma once

#include "zone/ZoneInformation.h"

namespace velmora {

// The rules of the zone the C library uses.
class TimeZoneSource {
  public:
    virtual ~TimeZoneSource() = default;
    // The rules in force in the local calendar year `year`.
    virtual TimeZoneInformation Read(int year) const = 0;
};

}  // namespace velmora
