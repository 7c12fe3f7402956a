#include "sync/ClockZone.h"

namespace velmora {

TDateTime Now(const SystemClock& clock) {
    return clock.LocalNow();
}

double UpdateZoneBias(const TimeZoneSource& zone, TDateTime now) {
    const TimeZoneInformation info = zone.Read(YearOf(now));
    const std::int32_t extra = DaylightBiasAt(zone, now);
    return static_cast<double>(info.Bias + extra) / kMinutesPerDay;
}

std::int32_t DaylightBiasAt(const TimeZoneSource& zone, TDateTime x) {
    return DaylightBiasAt(zone.Read(YearOf(x)), x);
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
    return NthWeekdayOfMonth(year, month, weekday, occurrence);
}

ClockSetResult SetComputerClock(SystemClock& clock, double offsetSeconds, AskUser ask) {
    return clock.StepBy(offsetSeconds, ask);
}

}  // namespace velmora
