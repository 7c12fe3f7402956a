#include "sync/DateTimeText.h"

#include <langinfo.h>

#include <ctime>

namespace velmora {
namespace {

std::tm ToTm(const DateTimeParts& p, TDateTime value) {
    std::tm tm{};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    tm.tm_wday = DayOfWeek(value);
    tm.tm_yday = static_cast<int>(EncodeDate(p.year, p.month, p.day) - EncodeDate(p.year, 1, 1));
    tm.tm_isdst = -1;
    return tm;
}

std::string Format(const char* format, const std::tm& tm) {
    char buffer[256];
    const std::size_t length = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, length);
}

}  // namespace

std::string DateTimeText(TDateTime value) {
    const DateTimeParts parts = DecodeDateTime(value);
    // Decoding rounds to the millisecond, so the tm fields agree with what the parts say.
    const std::tm tm = ToTm(parts, EncodeDate(parts.year, parts.month, parts.day));
    std::string text = Format(nl_langinfo(D_FMT), tm);
    if (parts.hour != 0 || parts.minute != 0 || parts.second != 0) {
        text += ' ';
        text += Format(nl_langinfo(T_FMT), tm);
    }
    return text;
}

}  // namespace velmora
