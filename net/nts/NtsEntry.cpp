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
    const std::size_t colon = rest.find(':');
    NtsEntry parsed;
    parsed.host = rest.substr(0, colon);
    if (parsed.host.empty() ||
        !std::all_of(parsed.host.begin(), parsed.host.end(), HostCharacter)) {
        return std::nullopt;
    }
    if (colon == std::string::npos) {
        return parsed;
    }
    const char* first = rest.data() + colon + 1;
    const char* last = rest.data() + rest.size();
    unsigned port = 0;
    const auto [end, error] = std::from_chars(first, last, port);
    if (error != std::errc{} || end != last || port == 0 || port > 65535) {
        return std::nullopt;
    }
    parsed.port = static_cast<std::uint16_t>(port);
    return parsed;
}

}  // namespace velmora
