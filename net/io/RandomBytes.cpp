#include "net/io/RandomBytes.h"

#include <cstring>

namespace velmora {

std::uint64_t RandomBits64() {
    const std::string bytes = RandomBytes(sizeof(std::uint64_t));
    std::uint64_t bits = 0;
    std::memcpy(&bits, bytes.data(), sizeof bits);
    return bits;
}

}  // namespace velmora
