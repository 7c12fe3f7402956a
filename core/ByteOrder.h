#pragma once

#include <bit>
#include <cstdint>

namespace velmora {

// Between host and network (big-endian) byte order, either way: the same swap, without the
// sockets headers, which the protocol code does not otherwise need.
constexpr std::uint32_t NetworkOrder32(std::uint32_t value) {
    if constexpr (std::endian::native == std::endian::big) {
        return value;
    }
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
           (value << 24);
}

}  // namespace velmora
