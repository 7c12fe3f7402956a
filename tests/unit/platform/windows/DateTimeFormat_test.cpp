#include "platform/windows/DateTimeFormat.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const TDateTime kAfternoon = EncodeDateTime({2026, 3, 5, 14, 7, 9, 600});

// Windows formats by the locale's own patterns (GetDateFormatEx, GetTimeFormatEx); Wine's locale
// data differs from Windows' in places, so only what both agree on is fixed here.
TEST(WindowsDateTimeFormat, TheLocalesOwnShortDateAndLongTime) {
    struct Case {
        const wchar_t* locale;
        const char* date;
        const char* time;
    };
    for (const Case& c :
         {Case{L"en-US", "3/5/2026", "2:07:09 PM"}, Case{L"ru-RU", "05.03.2026", "14:07:09"}}) {
        EXPECT_EQ(ShortDateIn(c.locale, kAfternoon), c.date) << c.date;
        EXPECT_EQ(LongTimeIn(c.locale, kAfternoon), c.time) << c.time;
    }
    EXPECT_EQ(ShortDateIn(L"no-such-locale-name", kAfternoon), "");
}

// The text comes back as UTF-8 whatever the ANSI code page: Taiwan's "afternoon".
TEST(WindowsDateTimeFormat, TextBeyondAsciiComesBackAsUtf8) {
    const std::string time = LongTimeIn(L"zh-TW", kAfternoon);
    EXPECT_NE(time.find("\xe4\xb8\x8b\xe5\x8d\x88"), std::string::npos) << time;
    EXPECT_NE(time.find("2:07:09"), std::string::npos) << time;
}

TEST(WindowsDateTimeFormat, TheDayIsTheOneTheRoundedPartsName) {
    // 23:59:59.9996 rounds to the next day's midnight.
    const TDateTime hairBefore = EncodeDateTime({2026, 3, 6, 0, 0, 0, 0}) - 0.4 / 86400000.0;
    EXPECT_EQ(ShortDateIn(L"ru-RU", hairBefore), "06.03.2026");
    EXPECT_EQ(LongTimeIn(L"ru-RU", hairBefore), "00:00:00");
}

}  // namespace
}  // namespace velmora
