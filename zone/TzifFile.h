#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One change of a zone's offset from UTC, as a TZif file lists it.
struct TzifTransition {
    std::int64_t at = 0;      // seconds since 1970, UTC
    std::int32_t offset = 0;  // seconds east of UTC from then on
    bool isDst = false;
};

// What a TZif file holds beyond its header: the transitions it lists itself (in time order), the
// offset before the first of them, and the closing rule that takes over after the last ("" when
// the file has none, as a version 1 file).
struct TzifContents {
    std::string footer;
    std::vector<TzifTransition> transitions;
    std::int32_t initialOffset = 0;
    bool initialIsDst = false;
};

// Nothing when `data` is not a whole TZif file.
std::optional<TzifContents> ParseTzif(std::string_view data);

}  // namespace velmora
