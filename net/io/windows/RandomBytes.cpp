#include "net/io/RandomBytes.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <bcrypt.h>

#include <random>

namespace velmora {

std::string RandomBytes(std::size_t size) {
    std::string bytes(size, '\0');
    const NTSTATUS status =
        BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(size),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (status != 0) {
        // A value that repeats or is all zero would let an answer be forged.
        std::random_device device;
        for (char& byte : bytes) {
            byte = static_cast<char>(device() & 0xFF);
        }
    }
    return bytes;
}

}  // namespace velmora
