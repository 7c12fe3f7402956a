#include "zone/ZoneInformation.h"

namespace velmora {

TDateTime TransitionStart(const TransitionRule& rule, int year) {
    const TDateTime day = rule.wYear != 0
                              ? EncodeDate(rule.wYear, rule.wMonth, rule.wDay)
                              : NthWeekdayOfMonth(year, rule.wMonth, rule.wDayOfWeek, rule.wDay);
    return day + EncodeTime(rule.wHour, rule.wMinute, rule.wSecond, rule.wMilliseconds);
}

}  // namespace velmora
