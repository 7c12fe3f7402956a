#include "net/nts/NtsEntry.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace velmora {

namespace {

constexpr std::string_view kScheme = "nts://";

bool HostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_';
}

bool Ipv6Character(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
}

// Hex digits, colons and dots (an IPv4 tail), then an optional zone after "%".
bool Ipv6Text(std::string_view text) {
    const std::size_t percent = std::min(text.find('%'), text.size());
    const std::string_view address = text.substr(0, percent);
    const std::string_view zone = text.substr(percent);  // empty, or "%" and the zone
    return !address.empty() && std::all_of(address.begin(), address.end(), Ipv6Character) &&
           (zone.empty() ||
            (zone.size() > 1 && std::all_of(zone.begin() + 1, zone.end(), HostCharacter)));
}

// The host at the start of `rest` and where it ends; nothing when it is malformed.
std::optional<std::string> TakeHost(const std::string& rest, std::size_t& end) {
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos || !Ipv6Text(rest.substr(1, close - 1))) {
            return std::nullopt;
        }
        end = close + 1;
        return rest.substr(1, close - 1);
    }
    end = std::min(rest.find(':'), rest.size());
    const std::string host = rest.substr(0, end);
    if (host.empty() || !std::all_of(host.begin(), host.end(), HostCharacter)) {
        return std::nullopt;
    }
    return host;
}

}  // namespace

bool IsNtsEntry(const std::string& entry) {
    return entry.size() >= kScheme.size() &&
           std::equal(kScheme.begin(), kScheme.end(), entry.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

std::optional<NtsEntry> ParseNtsEntry(const std::string& entry) {
    if (!IsNtsEntry(entry)) {
        return std::nullopt;
    }
    const std::string rest = entry.substr(kScheme.size());
    std::size_t end = 0;
    std::optional<std::string> host = TakeHost(rest, end);
    if (!host) {
        return std::nullopt;
    }
    NtsEntry parsed{std::move(*host)};
    if (end == rest.size()) {
        return parsed;
    }
    if (rest[end] != ':') {
        return std::nullopt;
    }
    const char* first = rest.data() + end + 1;
    const char* last = rest.data() + rest.size();
    unsigned port = 0;
    const auto [stop, error] = std::from_chars(first, last, port);
    if (error != std::errc{} || stop != last || port == 0 || port > 65535) {
        return std::nullopt;
    }
    parsed.port = static_cast<std::uint16_t>(port);
    return parsed;
}

std::string NtsSessionKey(const NtsEntry& entry) {
    const bool ipv6 = entry.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + entry.host + "]" : entry.host) + ":" + std::to_string(entry.port);
}

}  // namespace velmora
