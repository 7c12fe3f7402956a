#pragma once

#include <string>

#include "platform/TimeZoneSource.h"

namespace velmora {

// The zone the C library uses: TZ when set (a zone name, a path, or a POSIX rule string), else
// /etc/localtime. A year's rules come from the zone file's own transitions where it lists them,
// else from its closing POSIX rule.
class LinuxTimeZone : public TimeZoneSource {
  public:
    // `zoneinfoDir` is where zone names are looked up; empty means TZDIR, else the system's.
    explicit LinuxTimeZone(std::string zoneinfoDir = "");
    TimeZoneInformation Read(int year) const override;

  private:
    std::string zoneinfoDir_;
};

}  // namespace velmora
