#include "core/DateTime.h"

#include <gtest/gtest.h>

#include "core/Error.h"

namespace velmora {
namespace {

TEST(DateTime, KnownDaysOfTheCalendar) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), kNtpEpoch);
    EXPECT_EQ(EncodeDate(1970, 1, 1), kUnixEpoch);
    EXPECT_EQ(EncodeDate(2000, 3, 1) - EncodeDate(2000, 2, 28), 2.0);  // 2000 is a leap year
    EXPECT_EQ(EncodeDate(1900, 3, 1) - EncodeDate(1900, 2, 28), 1.0);  // 1900 is not
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 8)), 2);                  // a Tuesday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 10, 31)), 6);
    EXPECT_EQ(DayOfWeek(0.0), 6);
}

TEST(DateTime, RejectsDatesThatDoNotExist) {
    EXPECT_THROW(EncodeDate(2025, 2, 29), Error);
    EXPECT_THROW(EncodeDate(2025, 13, 1), Error);
    EXPECT_THROW(EncodeDate(2025, 4, 31), Error);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    try {
        EncodeDate(2025, 0, 1);
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid argument to date encode");
    }
}

TEST(DateTime, DecodeRoundTripsEveryMillisecondField) {
    const DateTimeParts p{2036, 2, 7, 6, 28, 16, 999};
    EXPECT_EQ(DecodeDateTime(EncodeDateTime(p)), p);
    const DateTimeParts leap{2024, 2, 29, 23, 59, 59, 999};
    EXPECT_EQ(DecodeDateTime(EncodeDateTime(leap)), leap);
    // A value a hair below midnight rounds to the next day, not to 24:00.
    const DateTimeParts next{2024, 3, 1, 0, 0, 0, 0};
    EXPECT_EQ(DecodeDateTime(EncodeDate(2024, 3, 1) - 1e-10), next);
}

TEST(DateTime, MillisecondsAndUnixTime) {
    EXPECT_EQ(ToMilliseconds(EncodeTime(0, 0, 1, 500)), 1500);
    EXPECT_EQ(FromMilliseconds(-1), -1.0 + 86399999.0 / kMillisecondsPerDay);
    EXPECT_DOUBLE_EQ(FromUnixSeconds(86400.0), kUnixEpoch + 1.0);
    EXPECT_DOUBLE_EQ(ToUnixSeconds(EncodeDate(1970, 1, 2)), 86400.0);
    EXPECT_EQ(DateOf(EncodeDate(2026, 12, 8) + 0.75), EncodeDate(2026, 12, 8));
    EXPECT_EQ(YearOf(EncodeDate(2035, 12, 31) + 0.5), 2035);
}

}  // namespace
}  // namespace velmora
