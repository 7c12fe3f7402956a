#include "zone/TzifFile.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr std::size_t kHeaderSize = 44;
constexpr std::size_t kTypeSize = 6;

std::uint64_t BigEndian(std::string_view data, std::size_t at, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    }
    return value;
}

// The counts of one header and where its data block lies; every size is checked against the data.
struct Block {
    std::size_t times = 0, types = 0;
    std::size_t timesAt = 0, indicesAt = 0, typesAt = 0, end = 0;
};

std::optional<Block> ReadBlock(std::string_view data, std::size_t at, std::size_t timeSize) {
    if (data.size() < at + kHeaderSize || data.substr(at, 4) != "TZif") {
        return std::nullopt;
    }
    const auto count = [&](std::size_t field) { return BigEndian(data, at + field, 4); };
    const std::uint64_t isut = count(20), isstd = count(24), leap = count(28);
    const std::uint64_t times = count(32), types = count(36), chars = count(40);
    const std::uint64_t size =
        times * (timeSize + 1) + types * kTypeSize + chars + leap * (timeSize + 4) + isstd + isut;
    if (size > data.size() - at - kHeaderSize) {
        return std::nullopt;
    }
    Block block;
    block.times = static_cast<std::size_t>(times);
    block.types = static_cast<std::size_t>(types);
    block.timesAt = at + kHeaderSize;
    block.indicesAt = block.timesAt + block.times * timeSize;
    block.typesAt = block.indicesAt + block.times;
    block.end = block.timesAt + static_cast<std::size_t>(size);
    return block;
}

// A local time type: its offset and whether it is daylight saving time.
std::optional<TzifTransition> Type(std::string_view data, const Block& block, std::size_t type) {
    if (type >= block.types) {
        return std::nullopt;
    }
    const std::size_t at = block.typesAt + type * kTypeSize;
    TzifTransition result;
    result.offset = static_cast<std::int32_t>(static_cast<std::uint32_t>(BigEndian(data, at, 4)));
    result.isDst = data[at + 4] != 0;
    return result;
}

std::optional<std::vector<TzifTransition>> Transitions(std::string_view data, const Block& block) {
    std::vector<TzifTransition> transitions;
    for (std::size_t i = 0; i < block.times; ++i) {
        auto type = Type(data, block, static_cast<unsigned char>(data[block.indicesAt + i]));
        if (!type) {
            return std::nullopt;
        }
        type->at = static_cast<std::int64_t>(BigEndian(data, block.timesAt + 8 * i, 8));
        transitions.push_back(*type);
    }
    // The format requires ascending times; a file that breaks the rule is read in time order.
    std::stable_sort(transitions.begin(), transitions.end(),
                     [](const TzifTransition& a, const TzifTransition& b) { return a.at < b.at; });
    return transitions;
}

// The closing rule: one line between two newlines right after the second block.
std::optional<std::string> Footer(std::string_view data, std::size_t at) {
    if (at >= data.size() || data[at] != '\n') {
        return std::nullopt;
    }
    const std::size_t end = data.find('\n', at + 1);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(data.substr(at + 1, end - at - 1));
}

}  // namespace

std::optional<TzifContents> ParseTzif(std::string_view data) {
    const auto first = ReadBlock(data, 0, 4);
    if (!first) {
        return std::nullopt;
    }
    if (data[4] < '2') {
        return TzifContents{};  // version 1: no closing rule, and only 32-bit times
    }
    const auto second = ReadBlock(data, first->end, 8);
    if (!second) {
        return std::nullopt;
    }
    auto footer = Footer(data, second->end);
    auto transitions = footer ? Transitions(data, *second) : std::nullopt;
    if (!transitions) {
        return std::nullopt;
    }
    TzifContents contents;
    contents.footer = std::move(*footer);
    contents.transitions = std::move(*transitions);
    // Before the first transition the zone keeps the first local time type.
    if (const auto initial = Type(data, *second, 0)) {
        contents.initialOffset = initial->offset;
        contents.initialIsDst = initial->isDst;
    }
    return contents;
}

}  // namespace velmora
