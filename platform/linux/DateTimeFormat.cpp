#include "platform/DateTimeFormat.h"

#include <langinfo.h>

#include <ctime>

namespace velmora {
namespace {

// Decoding rounds to the millisecond, so the fields agree with what the parts say.
std::tm ToTm(TDateTime value) {
    const DateTimeParts p = DecodeDateTime(value);
    const TDateTime date = EncodeDate(p.year, p.month, p.day);
    std::tm tm{};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    tm.tm_wday = DayOfWeek(date);
    tm.tm_yday = static_cast<int>(date - EncodeDate(p.year, 1, 1));
    tm.tm_isdst = -1;
    return tm;
}

// The current C locale's (LC_TIME) format.
std::string Format(nl_item item, TDateTime value) {
    const std::tm tm = ToTm(value);
    char buffer[256];
    const std::size_t length = std::strftime(buffer, sizeof buffer, nl_langinfo(item), &tm);
    return std::string(buffer, length);
}

}  // namespace

std::string LocalShortDate(TDateTime value) {
    return Format(D_FMT, value);
}

std::string LocalLongTime(TDateTime value) {
    return Format(T_FMT, value);
}

}  // namespace velmora
