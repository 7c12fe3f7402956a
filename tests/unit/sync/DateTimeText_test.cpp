#include "sync/DateTimeText.h"

#include <gtest/gtest.h>

#include "platform/DateTimeFormat.h"

namespace velmora {
namespace {

TDateTime At(int y, int mo, int d, int h, int mi, int s, int ms) {
    return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

// Whatever the platform's formats, the text is the short date, one space, the long time; at
// exactly midnight the date alone.
TEST(DateTimeText, ShortDateSpaceLongTimeOrTheDateAloneAtMidnight) {
    struct Case {
        TDateTime value;
        bool withTime;
    };
    for (const Case& c :
         {Case{At(2026, 3, 5, 14, 7, 9, 600), true}, Case{At(2026, 3, 5, 0, 0, 1, 0), true},
          Case{At(2031, 12, 31, 23, 59, 59, 0), true}, Case{At(2026, 3, 5, 0, 0, 0, 0), false},
          Case{At(2026, 3, 5, 0, 0, 0, 450), false},  // milliseconds not counted
          Case{At(2026, 3, 5, 23, 59, 59, 999) + 0.4 / kMillisecondsPerDay, true}}) {
        const std::string date = LocalShortDate(c.value);
        ASSERT_FALSE(date.empty());
        EXPECT_EQ(DateTimeText(c.value), c.withTime ? date + " " + LocalLongTime(c.value) : date);
    }
    // A value a hair before midnight that rounds to it is the next day's date alone.
    const TDateTime hairBefore = At(2026, 3, 6, 0, 0, 0, 0) - 0.2 / kMillisecondsPerDay;
    EXPECT_EQ(DateTimeText(hairBefore), LocalShortDate(At(2026, 3, 6, 0, 0, 0, 0)));
}

}  // namespace
}  // namespace velmora
