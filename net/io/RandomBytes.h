#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

// `size` bytes from the system's random generator (getrandom, BCryptGenRandom), fit for what
// others must not guess; where the system gives none, from std::random_device.
std::string RandomBytes(std::size_t size);
// 64 such bits.
std::uint64_t RandomBits64();

}  // namespace velmora
