#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

// `size` bytes from the kernel's random generator (getrandom), fit for what others must not
// guess; where the kernel gives none, from std::random_device.
std::string RandomBytes(std::size_t size);
// 64 such bits.
std::uint64_t RandomBits64();

}  // namespace velmora
