#pragma once

#include <string>

#include "platform/TimeZoneSource.h"

namespace velmora {

// The zone the C library uses: TZ when set (a zone name, a path, or a POSIX rule string), else
// /etc/localtime; its current rules come from the closing POSIX rule of the TZif file.
class LinuxTimeZone : public TimeZoneSource {
  public:
    // `zoneinfoDir` is where zone names are looked up.
    explicit LinuxTimeZone(std::string zoneinfoDir = "/usr/share/zoneinfo");
    TimeZoneInformation Read() const override;

  private:
    std::string zoneinfoDir_;
};

}  // namespace velmora
