#include <gtest/gtest.h>

#include <cmath>

#include "core/ByteOrder.h"
#include "core/DateTime.h"
#include "net/sntp/Timestamp.h"

namespace velmora {
namespace {

TDateTime Decode(std::uint32_t seconds, std::uint32_t fraction) {
    return DecodeTimestamp(NetworkOrder32(seconds), NetworkOrder32(fraction));
}

double SecondsBetween(TDateTime a, TDateTime b) {
    return (a - b) * kSecondsPerDay;
}

TEST(DecodeTimestamp, FractionWordsCutToTenthsOfAMillisecond) {
    constexpr std::uint32_t n = 3900000000u;
    EXPECT_EQ(Decode(n, 4294967295u), Decode(n + 1, 0));
    EXPECT_NEAR(SecondsBetween(Decode(n, 2147483648u), Decode(n, 0)), 0.5, 1e-6);
    EXPECT_NEAR(SecondsBetween(Decode(n, 429497u), Decode(n, 0)), 0.0001, 1e-6);
    EXPECT_EQ(Decode(n, 429496u), Decode(n, 0));
}

TEST(DecodeTimestamp, TopBitSetIsEraZeroAndClearIsEraOne) {
    const DateTimeParts y1968{1968, 1, 20, 3, 14, 8, 0};
    EXPECT_EQ(DecodeDateTime(Decode(0x80000000u, 0)), y1968);
    const DateTimeParts y2036{2036, 2, 7, 6, 28, 16, 0};
    EXPECT_EQ(DecodeDateTime(Decode(0, 0)), y2036);
    const DateTimeParts y2036plus1{2036, 2, 7, 6, 28, 17, 0};
    EXPECT_EQ(DecodeDateTime(Decode(1, 0)), y2036plus1);
    // The last second of era 0 and the first of era 1 are one second apart.
    EXPECT_NEAR(SecondsBetween(Decode(0, 0), Decode(0xFFFFFFFFu, 0)), 1.0, 1e-5);
}

TEST(EncodeTimestamp, EpochAndHalfSecond) {
    std::uint32_t seconds = 1;
    std::uint32_t fraction = 1;
    EncodeTimestamp(kNtpEpoch, seconds, fraction);
    EXPECT_EQ(seconds, 0u);
    EXPECT_EQ(fraction, 0u);
    EncodeTimestamp(kNtpEpoch + 0.5 / kSecondsPerDay, seconds, fraction);
    EXPECT_EQ(NetworkOrder32(seconds), 0u);
    EXPECT_EQ(NetworkOrder32(fraction), 0x80000000u);
    // Below the half the fraction is truncated downward: 0.25 x 4294967295 = 1073741823.75.
    EncodeTimestamp(kNtpEpoch + 0.25 / kSecondsPerDay, seconds, fraction);
    EXPECT_EQ(NetworkOrder32(fraction), 1073741823u);
}

TEST(EncodeTimestamp, SecondsAfter2036KeepTheirLow32Bits) {
    const TDateTime y2040 = EncodeDate(2040, 1, 1);
    std::uint32_t seconds = 0;
    std::uint32_t fraction = 0;
    EncodeTimestamp(y2040, seconds, fraction);
    const double sinceEpoch = (y2040 - kNtpEpoch) * kSecondsPerDay;
    EXPECT_EQ(NetworkOrder32(seconds),
              static_cast<std::uint32_t>(static_cast<std::uint64_t>(sinceEpoch) & 0xFFFFFFFFu));
    EXPECT_LT(NetworkOrder32(seconds), 0x80000000u);
}

TEST(Timestamps, RoundTripLosesUnderTwoTenthsOfAMillisecondAcrossBothEras) {
    const TDateTime from = EncodeDate(1968, 1, 21);
    const TDateTime to = EncodeDate(2104, 1, 1);
    for (TDateTime t = from; t < to; t += 123.456789) {
        std::uint32_t seconds = 0;
        std::uint32_t fraction = 0;
        EncodeTimestamp(t, seconds, fraction);
        const TDateTime back = DecodeTimestamp(seconds, fraction);
        EXPECT_LE(SecondsBetween(back, t), 1e-6) << t;
        // Both directions cut to tenths of a millisecond, and the fraction word is truncated in
        // between, so up to two tenths can go.
        EXPECT_GT(SecondsBetween(back, t), -0.0002 - 1e-6) << t;
    }
}

}  // namespace
}  // namespace velmora
