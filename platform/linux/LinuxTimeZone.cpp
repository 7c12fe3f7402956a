#include "platform/linux/LinuxTimeZone.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

#include "zone/PosixZoneRule.h"
#include "zone/ZoneYearRules.h"

namespace velmora {
namespace {

constexpr const char* kSystemZoneinfo = "/usr/share/zoneinfo";
constexpr const char* kLocaltime = "/etc/localtime";

// Zone information of a zone file without rules or transitions (version 1): no daylight saving,
// the offset the C library gives for the present moment.
TimeZoneInformation FixedFromLibrary() {
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    TimeZoneInformation info;
    info.Bias = static_cast<std::int32_t>(-tm.tm_gmtoff / 60);
    return info;
}

TimeZoneInformation FromRule(const std::string& rule, int year) {
    const auto zone = ParsePosixZone(rule, year);
    // The C library treats text it cannot read as GMT; so do we.
    return zone ? zone->info : TimeZoneInformation{};
}

}  // namespace

std::optional<TzifContents> ReadTzif(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseTzif(data);
}

std::optional<std::string> ReadTzifFooter(const std::string& path) {
    const auto contents = ReadTzif(path);
    return contents ? std::optional<std::string>(contents->footer) : std::nullopt;
}

LinuxTimeZone::LinuxTimeZone(std::string zoneinfoDir) : zoneinfoDir_(std::move(zoneinfoDir)) {}

TimeZoneInformation LinuxTimeZone::Read(int year) const {
    const char* tz = std::getenv("TZ");
    std::string path = kLocaltime;
    std::string name;
    if (tz != nullptr) {
        name = tz[0] == ':' ? tz + 1 : tz;
        if (name.empty()) {
            return {};  // an empty TZ is GMT
        }
        std::string dir = zoneinfoDir_;
        if (dir.empty()) {
            const char* tzdir = std::getenv("TZDIR");
            dir = tzdir != nullptr && tzdir[0] != '\0' ? tzdir : kSystemZoneinfo;
        }
        path = name[0] == '/' ? name : dir + "/" + name;
    }
    if (const auto tzif = ReadTzif(path)) {
        if (tzif->footer.empty() && tzif->transitions.empty()) {
            return FixedFromLibrary();
        }
        return ZoneRulesForYear(*tzif, year).info;
    }
    return name.empty() ? FixedFromLibrary() : FromRule(name, year);
}

}  // namespace velmora
