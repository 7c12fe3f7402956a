#include "platform/LinuxTimeZone.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

#include "platform/PosixZoneRule.h"

namespace velmora {
namespace {

constexpr const char* kSystemZoneinfo = "/usr/share/zoneinfo";
constexpr const char* kLocaltime = "/etc/localtime";
constexpr std::size_t kHeaderSize = 44;

std::uint32_t BigEndian32(const std::string& data, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    }
    return value;
}

// Size of the data block that follows a header at `at`, with `timeSize`-byte transition times.
std::optional<std::uint64_t> BlockSize(const std::string& data, std::size_t at, int timeSize) {
    if (data.size() < at + kHeaderSize || data.compare(at, 4, "TZif") != 0) {
        return std::nullopt;
    }
    const std::uint64_t isut = BigEndian32(data, at + 20);
    const std::uint64_t isstd = BigEndian32(data, at + 24);
    const std::uint64_t leap = BigEndian32(data, at + 28);
    const std::uint64_t times = BigEndian32(data, at + 32);
    const std::uint64_t types = BigEndian32(data, at + 36);
    const std::uint64_t chars = BigEndian32(data, at + 40);
    return times * (timeSize + 1) + types * 6 + chars + leap * (timeSize + 4) + isstd + isut;
}

// Zone information of a zone without a rule: no daylight saving, the offset the C library
// gives for the present moment.
TimeZoneInformation FixedFromLibrary() {
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    TimeZoneInformation info;
    info.Bias = static_cast<std::int32_t>(-tm.tm_gmtoff / 60);
    return info;
}

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm.tm_year + 1900;
}

TimeZoneInformation FromRule(const std::string& rule) {
    const auto zone = ParsePosixZone(rule, CurrentYear());
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
    const auto first = BlockSize(data, 0, 4);
    if (!first) {
        return std::nullopt;
    }
    if (data[4] < '2') {
        return TzifContents{};  // version 1: no closing rule
    }
    const std::uint64_t second = kHeaderSize + *first;
    const auto block =
        second <= data.size() ? BlockSize(data, static_cast<std::size_t>(second), 8) : std::nullopt;
    if (!block) {
        return std::nullopt;
    }
    const std::uint64_t footer = second + kHeaderSize + *block;
    if (footer >= data.size() || data[static_cast<std::size_t>(footer)] != '\n') {
        return std::nullopt;
    }
    const std::size_t start = static_cast<std::size_t>(footer) + 1;
    const std::size_t end = data.find('\n', start);
    if (end == std::string::npos) {
        return std::nullopt;
    }
    TzifContents contents;
    contents.footer = data.substr(start, end - start);
    const std::size_t times = BigEndian32(data, static_cast<std::size_t>(second) + 32);
    for (std::size_t i = 0; i < times; ++i) {
        const std::size_t at = static_cast<std::size_t>(second) + kHeaderSize + 8 * i;
        const std::uint64_t value =
            (std::uint64_t{BigEndian32(data, at)} << 32) | BigEndian32(data, at + 4);
        contents.transitions.push_back(static_cast<std::int64_t>(value));
    }
    return contents;
}

std::optional<std::string> ReadTzifFooter(const std::string& path) {
    const auto contents = ReadTzif(path);
    return contents ? std::optional<std::string>(contents->footer) : std::nullopt;
}

LinuxTimeZone::LinuxTimeZone(std::string zoneinfoDir) : zoneinfoDir_(std::move(zoneinfoDir)) {}

TimeZoneInformation LinuxTimeZone::Read() const {
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
    if (const auto footer = ReadTzifFooter(path)) {
        return footer->empty() ? FixedFromLibrary() : FromRule(*footer);
    }
    return name.empty() ? FixedFromLibrary() : FromRule(name);
}

}  // namespace velmora
