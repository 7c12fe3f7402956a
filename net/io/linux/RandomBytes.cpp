#include "net/io/RandomBytes.h"

#include <sys/random.h>

#include <cerrno>
#include <random>

namespace velmora {

namespace {

// What getrandom left unfilled (a kernel without it): a value that repeats or is all zero would
// let an answer be forged, so it is never left as it was.
void FillFromRandomDevice(std::string& bytes, std::size_t from) {
    std::random_device device;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(device() & 0xFF);
    }
}

}  // namespace

std::string RandomBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t got = getrandom(bytes.data() + filled, size - filled, 0);
        if (got < 0 && errno != EINTR) {
            FillFromRandomDevice(bytes, filled);
            break;
        }
        filled += got < 0 ? 0 : static_cast<std::size_t>(got);
    }
    return bytes;
}

}  // namespace velmora
