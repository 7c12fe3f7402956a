#include "platform/windows/StartupApproved.h"

namespace velmora {
namespace {

constexpr unsigned char kEnabled = 0x02;
constexpr unsigned char kDisabledBit = 0x01;
constexpr std::size_t kSize = 12;

}  // namespace

std::vector<unsigned char> StartupApprovedValue(bool enabled, std::uint64_t disabledAt) {
    std::vector<unsigned char> value(kSize, 0);
    value[0] = enabled ? kEnabled : kEnabled | kDisabledBit;
    for (std::size_t i = 0; i < 8 && !enabled; ++i) {
        value[4 + i] = static_cast<unsigned char>(disabledAt >> (8 * i));
    }
    return value;
}

bool StartupApprovedEnabled(const std::optional<std::vector<unsigned char>>& value) {
    return !value || value->empty() || ((*value)[0] & kDisabledBit) == 0;
}

}  // namespace velmora
