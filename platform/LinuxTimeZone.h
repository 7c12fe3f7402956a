#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/TimeZoneSource.h"

namespace velmora {

// The zone the C library uses: TZ when set (a zone name, a path, or a POSIX rule string), else
// /etc/localtime; its current rules come from the closing POSIX rule of the TZif file.
class LinuxTimeZone : public TimeZoneSource {
  public:
    // `zoneinfoDir` is where zone names are looked up; empty means TZDIR, else the system's.
    explicit LinuxTimeZone(std::string zoneinfoDir = "");
    TimeZoneInformation Read() const override;

  private:
    std::string zoneinfoDir_;
};

// The closing rule of a TZif file ("" when it has none, as in a version 1 file); nothing when
// the file cannot be read or is not such a file.
std::optional<std::string> ReadTzifFooter(const std::string& path);

// What a TZif file holds beyond its header: the closing rule, and the transition times (seconds
// since 1970) that the file lists itself, before the rule takes over.
struct TzifContents {
    std::string footer;
    std::vector<std::int64_t> transitions;
};
std::optional<TzifContents> ReadTzif(const std::string& path);

}  // namespace velmora
