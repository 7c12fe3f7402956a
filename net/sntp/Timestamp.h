#pragma once

#include <cstdint>

#include "core/DateTime.h"

namespace velmora {

// Date-time value from the two words of a timestamp, as they stand in a packet.
TDateTime DecodeTimestamp(std::uint32_t seconds, std::uint32_t fraction);
// The reverse; the words come out in network byte order.
void EncodeTimestamp(TDateTime value, std::uint32_t& seconds, std::uint32_t& fraction);

}  // namespace velmora
