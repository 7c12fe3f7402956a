#pragma once

#include <optional>
#include <string>

#include "platform/TimeZoneSource.h"
#include "zone/TzifFile.h"

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

// Nothing when the file cannot be read or is not a TZif file.
std::optional<TzifContents> ReadTzif(const std::string& path);
// The closing rule alone.
std::optional<std::string> ReadTzifFooter(const std::string& path);

}  // namespace velmora
