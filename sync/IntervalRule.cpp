#include "sync/IntervalRule.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace velmora {

std::int32_t SyncPeriodMilliseconds(std::int32_t stored) {
    return stored <= 0 ? 0 : std::max(stored, kShortestSyncInterval);
}

namespace {

std::int32_t Unit(bool hours) {
    return hours ? kMillisecondsPerHour : kMillisecondsPerMinute;
}

std::optional<std::int64_t> WholeNumber(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const char* begin = text.data() + first;
    const char* end = text.data() + text.find_last_not_of(" \t") + 1;
    if (*begin == '+') {
        ++begin;
    }
    std::int64_t value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string IntervalText(std::int32_t milliseconds, bool hours) {
    return std::to_string(milliseconds / Unit(hours));
}

std::optional<std::int32_t> IntervalMilliseconds(const std::string& text, bool hours) {
    const std::optional<std::int64_t> n = WholeNumber(text);
    if (!n || *n < 0 || *n > std::numeric_limits<std::int32_t>::max() / Unit(hours)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*n * Unit(hours));
}

}  // namespace velmora
