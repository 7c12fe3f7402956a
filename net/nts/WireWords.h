#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// 16-bit big-endian numbers, as the NTS records and extension fields carry them.
inline std::uint16_t ReadWord16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>((static_cast<std::uint8_t>(bytes[at]) << 8) |
                                      static_cast<std::uint8_t>(bytes[at + 1]));
}

// Only the low 16 bits of `value` are written.
inline std::string Word16Bytes(std::size_t value) {
    return {static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
}

}  // namespace velmora
