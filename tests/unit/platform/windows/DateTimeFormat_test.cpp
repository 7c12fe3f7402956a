#include "platform/windows/DateTimeFormat.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Windows formats by the locale's own patterns (GetDateFormatEx, GetTimeFormatEx), and the text
// comes back as UTF-8 whatever the ANSI code page.
TEST(WindowsDateTimeFormat, TheLocalesOwnShortDateAndLongTime) {
    const TDateTime value = EncodeDateTime({2026, 3, 5, 14, 7, 9, 600});
    struct Case {
        const wchar_t* locale;
        const char* date;
        const char* time;
    };
    for (const Case& c :
         {Case{L"en-US", "3/5/2026", "2:07:09 PM"}, Case{L"de-DE", "05.03.2026", "14:07:09"},
          Case{L"ko-KR", "2026-03-05", "\xec\x98\xa4\xed\x9b\x84 2:07:09"}}) {
        EXPECT_EQ(ShortDateIn(c.locale, value), c.date) << c.date;
        EXPECT_EQ(LongTimeIn(c.locale, value), c.time) << c.time;
    }
    EXPECT_EQ(ShortDateIn(L"no-such-locale-name", value), "");
}

TEST(WindowsDateTimeFormat, TheDayIsTheOneTheRoundedPartsName) {
    // 23:59:59.9996 rounds to the next day's midnight, a Friday.
    const TDateTime hairBefore = EncodeDateTime({2026, 3, 6, 0, 0, 0, 0}) - 0.4 / 86400000.0;
    EXPECT_EQ(ShortDateIn(L"de-DE", hairBefore), "06.03.2026");
    EXPECT_EQ(LongTimeIn(L"de-DE", hairBefore), "00:00:00");
}

}  // namespace
}  // namespace velmora
