#pragma once

#include <cstdint>

namespace velmora {

// The SNTP packet as it travels, every multi-byte field in network byte order.
struct TNtpPacket {
    std::uint8_t LiVnMode = 0;
    std::uint8_t Stratum = 0;
    std::uint8_t Poll = 0;
    std::uint8_t Precision = 0;
    std::uint32_t RootDelay = 0;
    std::uint32_t RootDispersion = 0;
    std::uint32_t ReferenceId = 0;
    std::uint32_t ReferenceTime[2] = {};
    std::uint32_t OriginateTime[2] = {};
    std::uint32_t ReceiveTime[2] = {};
    std::uint32_t TransmitTime[2] = {};
};
static_assert(sizeof(TNtpPacket) == 48, "TNtpPacket must match the wire format byte for byte");

}  // namespace velmora
