#include "sync/ClockZone.h"

namespace velmora {
namespace {

constexpr int kLastOccurrence = 5;

// Date and time of day of one transition in year `year`, as a local date-time.
TDateTime TransitionStart(const TransitionRule& rule, int year) {
    const TDateTime day = rule.wYear != 0
                              ? EncodeDate(rule.wYear, rule.wMonth, rule.wDay)
                              : TransitionDay(year, rule.wMonth, rule.wDayOfWeek, rule.wDay);
    return day + EncodeTime(rule.wHour, rule.wMinute, rule.wSecond, rule.wMilliseconds);
}

}  // namespace

TDateTime Now(const SystemClock& clock) {
    return clock.LocalNow();
}

double UpdateZoneBias(const TimeZoneSource& zone, TDateTime now) {
    const TimeZoneInformation info = zone.Read();
    const std::int32_t extra = DaylightBiasAt(zone, now);
    return static_cast<double>(info.Bias + extra) / kMinutesPerDay;
}

std::int32_t DaylightBiasAt(const TimeZoneSource& zone, TDateTime x) {
    return DaylightBiasAt(zone.Read(), x);
}

std::int32_t DaylightBiasAt(const TimeZoneInformation& info, TDateTime x) {
    if (info.DaylightDate.wMonth == 0 || info.StandardDate.wMonth == 0) {
        return 0;
    }
    const int year = YearOf(x);
    const TDateTime daylight = TransitionStart(info.DaylightDate, year);
    const TDateTime standard = TransitionStart(info.StandardDate, year);
    if (daylight < standard) {
        return daylight <= x && x <= standard ? info.DaylightBias : info.StandardBias;
    }
    return standard <= x && x <= daylight ? info.StandardBias : info.DaylightBias;
}

TDateTime TransitionDay(int year, int month, int weekday, int occurrence) {
    const int days = DaysInMonth(year, month);
    if (days == 0 || occurrence < 1 || occurrence > kLastOccurrence) {
        return 0;
    }
    const TDateTime first = EncodeDate(year, month, 1);
    int day = 1 + ((weekday - DayOfWeek(first)) % 7 + 7) % 7;
    if (occurrence == kLastOccurrence) {
        day += 7 * ((days - day) / 7);
    } else {
        day += 7 * (occurrence - 1);
    }
    return first + (day - 1);
}

ClockSetResult SetComputerClock(SystemClock& clock, TDateTime gmt) {
    return clock.SetUtc(gmt);
}

}  // namespace velmora
