#include "net/sntp/Timestamp.h"

#include <cmath>

#include "core/ByteOrder.h"

namespace velmora {

namespace {

// The fraction word counts 1/2^32 s, but the design divides by 2^32 - 1 both ways: the all-ones
// word is then exactly one more second, encode and decode stay each other's inverse, and the
// scale error (one part in 4294967296, under a nanosecond) vanishes in the cut to tenths of a
// millisecond that both directions make anyway.
constexpr double kFractionDivisor = 4294967295.0;
constexpr double kTwoTo32 = 4294967296.0;
constexpr double kTenthsOfMillisecond = 10000.0;

// Truncation toward zero to a 64-bit integer, saturating where the cast would be undefined.
std::int64_t Trunc(double value) {
    constexpr double kLimit = 9.2e18;
    if (!(value > -kLimit)) {
        return std::isnan(value) ? 0 : static_cast<std::int64_t>(-kLimit);
    }
    if (value > kLimit) {
        return static_cast<std::int64_t>(kLimit);
    }
    return static_cast<std::int64_t>(value);
}

std::uint32_t LowWord(double value) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(Trunc(value)) & 0xFFFFFFFFu);
}

}  // namespace

TDateTime DecodeTimestamp(std::uint32_t seconds, std::uint32_t fraction) {
    const std::uint32_t s = NetworkOrder32(seconds);
    // Top bit clear: past 2036-02-07 06:28:16, the seconds word has wrapped into era 1.
    const double wholeSeconds = (s & 0x80000000u) != 0 ? double(s) : double(s) + kTwoTo32;
    double part = double(NetworkOrder32(fraction)) / kFractionDivisor;
    part = double(Trunc(part * kTenthsOfMillisecond)) / kTenthsOfMillisecond;
    return (wholeSeconds + part) / kSecondsPerDay + kNtpEpoch;
}

void EncodeTimestamp(TDateTime value, std::uint32_t& seconds, std::uint32_t& fraction) {
    const double x = (value - kNtpEpoch) * kSecondsPerDay;
    double frac = x - double(Trunc(x));
    double sec = double(Trunc(x));
    if (sec > 2147483647.0) {
        sec = sec - 4294967295.0 - 1.0;
    }
    frac = double(Trunc(frac * kTenthsOfMillisecond)) / kTenthsOfMillisecond;
    frac = frac * kFractionDivisor;
    if (frac > 2147483647.0) {
        frac = frac - 4294967295.0 - 1.0;
    }
    seconds = NetworkOrder32(LowWord(sec));
    fraction = NetworkOrder32(LowWord(frac));
}

}  // namespace velmora
