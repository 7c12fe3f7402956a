#include "platform/windows/WindowsTimeZone.h"

#include <windows.h>

namespace velmora {
namespace {

TransitionRule FromSystemTime(const SYSTEMTIME& time) {
    TransitionRule rule;
    rule.wYear = time.wYear;
    rule.wMonth = time.wMonth;
    rule.wDayOfWeek = time.wDayOfWeek;
    rule.wDay = time.wDay;
    rule.wHour = time.wHour;
    rule.wMinute = time.wMinute;
    rule.wSecond = time.wSecond;
    rule.wMilliseconds = time.wMilliseconds;
    return rule;
}

}  // namespace

TimeZoneInformation FromWindowsZone(const TIME_ZONE_INFORMATION& zone) {
    TimeZoneInformation information;
    information.Bias = zone.Bias;
    information.StandardDate = FromSystemTime(zone.StandardDate);
    information.StandardBias = zone.StandardBias;
    information.DaylightDate = FromSystemTime(zone.DaylightDate);
    information.DaylightBias = zone.DaylightBias;
    return information;
}

TimeZoneInformation WindowsTimeZone::Read(int year) const {
    TIME_ZONE_INFORMATION zone{};
    if (year < 1601 || year > 30827 ||
        !GetTimeZoneInformationForYear(static_cast<USHORT>(year), nullptr, &zone)) {
        // Its result (which rules are in force now) is not needed: the arithmetic works that out.
        zone = TIME_ZONE_INFORMATION{};
        GetTimeZoneInformation(&zone);
    }
    return FromWindowsZone(zone);
}

}  // namespace velmora
