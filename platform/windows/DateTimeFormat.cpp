#include "platform/windows/DateTimeFormat.h"

#include <windows.h>

#include <iterator>

#include "platform/DateTimeFormat.h"
#include "platform/windows/WideText.h"

namespace velmora {
namespace {

SYSTEMTIME ToSystemTime(TDateTime value) {
    // Decoding rounds to the millisecond: the weekday is the one of the day the parts name.
    const DateTimeParts p = DecodeDateTime(value);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(p.year);
    time.wMonth = static_cast<WORD>(p.month);
    time.wDayOfWeek = static_cast<WORD>(DayOfWeek(EncodeDate(p.year, p.month, p.day)));
    time.wDay = static_cast<WORD>(p.day);
    time.wHour = static_cast<WORD>(p.hour);
    time.wMinute = static_cast<WORD>(p.minute);
    time.wSecond = static_cast<WORD>(p.second);
    time.wMilliseconds = static_cast<WORD>(p.millisecond);
    return time;
}

// Both Windows calls return the characters written, the terminating zero included; 0 on failure.
template <typename Call>
std::string Formatted(Call call) {
    wchar_t buffer[128];
    const int written = call(buffer, static_cast<int>(std::size(buffer)));
    return written > 1 ? Narrow(std::wstring(buffer, static_cast<std::size_t>(written - 1)))
                       : std::string();
}

}  // namespace

std::string ShortDateIn(const wchar_t* locale, TDateTime value) {
    const SYSTEMTIME time = ToSystemTime(value);
    return Formatted([&](wchar_t* buffer, int size) {
        return GetDateFormatEx(locale, DATE_SHORTDATE, &time, nullptr, buffer, size, nullptr);
    });
}

std::string LongTimeIn(const wchar_t* locale, TDateTime value) {
    const SYSTEMTIME time = ToSystemTime(value);
    return Formatted([&](wchar_t* buffer, int size) {
        return GetTimeFormatEx(locale, 0, &time, nullptr, buffer, size);
    });
}

std::string LocalShortDate(TDateTime value) {
    return ShortDateIn(LOCALE_NAME_USER_DEFAULT, value);
}

std::string LocalLongTime(TDateTime value) {
    return LongTimeIn(LOCALE_NAME_USER_DEFAULT, value);
}

}  // namespace velmora
