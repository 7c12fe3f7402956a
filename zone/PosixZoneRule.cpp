#include "zone/PosixZoneRule.h"

#include <cctype>

#include "core/DateTime.h"

namespace velmora {
namespace {

constexpr int kSecondsPerHour = 3600;
constexpr int kDefaultTransitionTime = 2 * kSecondsPerHour;
constexpr int kDaySeconds = 24 * kSecondsPerHour;

// A transition date as the rule gives it, before it is fitted to the layout.
struct RuleDate {
    enum Kind { kMonthWeekDay, kJulianNoLeap, kZeroBasedDay } kind = kMonthWeekDay;
    int month = 0, week = 0, weekday = 0;  // Mm.w.d
    int day = 0;                           // Jn or n
    int seconds = kDefaultTransitionTime;  // local time of day; may lie outside the day
};

class Cursor {
  public:
    explicit Cursor(const std::string& text) : text_(text) {}
    bool AtEnd() const { return pos_ == text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    bool Take(char c) {
        if (Peek() != c) {
            return false;
        }
        ++pos_;
        return true;
    }
    std::optional<int> Number(int max) {
        if (!std::isdigit(static_cast<unsigned char>(Peek()))) {
            return std::nullopt;
        }
        int value = 0;
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            value = value * 10 + (text_[pos_++] - '0');
            if (value > max) {
                return std::nullopt;
            }
        }
        return value;
    }
    // A zone abbreviation: three or more letters, or anything inside angle brackets.
    bool Name() {
        const std::size_t start = pos_;
        if (Take('<')) {
            while (!AtEnd() && Peek() != '>') {
                ++pos_;
            }
            return Take('>') && pos_ - start > 2;
        }
        while (std::isalpha(static_cast<unsigned char>(Peek()))) {
            ++pos_;
        }
        return pos_ - start >= 3;
    }
    // [+-]hh[:mm[:ss]] in seconds.
    std::optional<int> Time(int maxHours) {
        const int sign = Take('-') ? -1 : (Take('+'), 1);
        const auto hours = Number(maxHours);
        if (!hours) {
            return std::nullopt;
        }
        int seconds = *hours * kSecondsPerHour;
        for (int unit = 60; unit >= 1 && Take(':'); unit /= 60) {
            const auto part = Number(59);
            if (!part) {
                return std::nullopt;
            }
            seconds += *part * unit;
        }
        return sign * seconds;
    }

  private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

std::optional<RuleDate> ParseDate(Cursor& in) {
    RuleDate date;
    if (in.Take('M')) {
        // Mm.w.d, each part checked as it comes.
        const int limits[3] = {12, 5, 6};
        int parts[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i) {
            const auto value = (i == 0 || in.Take('.')) ? in.Number(limits[i]) : std::nullopt;
            if (!value || (i < 2 && *value < 1)) {
                return std::nullopt;
            }
            parts[i] = *value;
        }
        date.month = parts[0];
        date.week = parts[1];
        date.weekday = parts[2];
    } else {
        date.kind = in.Take('J') ? RuleDate::kJulianNoLeap : RuleDate::kZeroBasedDay;
        const auto day = in.Number(365);
        if (!day || (date.kind == RuleDate::kJulianNoLeap && *day < 1)) {
            return std::nullopt;
        }
        date.day = *day;
    }
    if (in.Take('/')) {
        const auto time = in.Time(167);
        if (!time) {
            return std::nullopt;
        }
        date.seconds = *time;
    }
    return date;
}

// The layout holds a time of day from 00:00 to 23:59:59.999 only. A time before the day
// (such as "/-1") is taken as midnight, one after it (such as "/24" or "/26") as the day's last
// millisecond: the transition keeps its date and moves by at most the amount that lies outside
// the day, in every year alike. Moving it to a neighbouring weekday instead would be exact in
// most years but a week off in the others.
void SetTimeOfDay(TransitionRule& rule, int seconds, bool& exact) {
    if (seconds < 0 || seconds >= kDaySeconds) {
        exact = false;
        if (seconds < 0) {
            seconds = 0;
        } else {
            seconds = kDaySeconds - 1;
            rule.wMilliseconds = 999;
        }
    }
    rule.wHour = static_cast<std::uint16_t>(seconds / kSecondsPerHour);
    rule.wMinute = static_cast<std::uint16_t>(seconds / 60 % 60);
    rule.wSecond = static_cast<std::uint16_t>(seconds % 60);
}

// A Julian day names a fixed day of the month every year; the layout's fixed date belongs to one
// year only, so the day becomes the yearly rule "k-th weekday of the month" that gives that day
// in `referenceYear` (the last such weekday from day 29 on). Other years land within six days of
// it. The zero-based form counts February 29 in leap years, as the reference year decides.
void SetJulianDay(TransitionRule& rule, const RuleDate& date, int referenceYear) {
    const int dayOfYear = date.kind == RuleDate::kZeroBasedDay ? date.day + 1 : date.day;
    const int calendarYear = date.kind == RuleDate::kZeroBasedDay ? referenceYear : 2001;
    TDateTime day = EncodeDate(calendarYear, 1, 1) + (dayOfYear - 1);
    if (YearOf(day) != calendarYear) {
        day = EncodeDate(calendarYear, 12, 31);  // day 365 of a year without a leap day
    }
    const DateTimeParts parts = DecodeDateTime(day);
    const TDateTime sameDay = EncodeDate(referenceYear, parts.month, parts.day);
    rule.wMonth = static_cast<std::uint16_t>(parts.month);
    rule.wDayOfWeek = static_cast<std::uint16_t>(DayOfWeek(sameDay));
    rule.wDay = static_cast<std::uint16_t>(parts.day > 28 ? 5 : (parts.day - 1) / 7 + 1);
}

TransitionRule ToLayout(const RuleDate& date, int referenceYear, bool& exact) {
    TransitionRule rule;
    if (date.kind == RuleDate::kMonthWeekDay) {
        rule.wMonth = static_cast<std::uint16_t>(date.month);
        rule.wDayOfWeek = static_cast<std::uint16_t>(date.weekday);
        rule.wDay = static_cast<std::uint16_t>(date.week);
    } else {
        exact = false;
        SetJulianDay(rule, date, referenceYear);
    }
    SetTimeOfDay(rule, date.seconds, exact);
    return rule;
}

}  // namespace

std::int32_t RoundedMinutes(std::int64_t seconds) {
    return static_cast<std::int32_t>((seconds + (seconds < 0 ? -30 : 30)) / 60);
}

std::optional<PosixZone> ParsePosixZone(const std::string& text, int referenceYear) {
    Cursor in(text);
    if (!in.Name()) {
        return std::nullopt;
    }
    const auto standard = in.Time(24);
    if (!standard) {
        return std::nullopt;
    }
    PosixZone zone;
    // POSIX offsets, like Bias, are what local time needs added to give GMT.
    zone.info.Bias = RoundedMinutes(*standard);
    if (in.AtEnd()) {
        return zone;
    }
    if (!in.Name()) {
        return std::nullopt;
    }
    int daylight = *standard - kSecondsPerHour;
    if (in.Peek() != ',' && !in.AtEnd()) {
        const auto offset = in.Time(24);
        if (!offset) {
            return std::nullopt;
        }
        daylight = *offset;
    }
    // Without dates the C library falls back to the United States rules.
    RuleDate start{RuleDate::kMonthWeekDay, 3, 2, 0, 0, kDefaultTransitionTime};
    RuleDate end{RuleDate::kMonthWeekDay, 11, 1, 0, 0, kDefaultTransitionTime};
    if (in.Take(',')) {
        const auto first = ParseDate(in);
        const auto second = first && in.Take(',') ? ParseDate(in) : std::nullopt;
        if (!second) {
            return std::nullopt;
        }
        start = *first;
        end = *second;
    }
    if (!in.AtEnd()) {
        return std::nullopt;
    }
    zone.info.DaylightBias = RoundedMinutes(daylight) - zone.info.Bias;
    zone.info.DaylightDate = ToLayout(start, referenceYear, zone.exact);
    zone.info.StandardDate = ToLayout(end, referenceYear, zone.exact);
    return zone;
}

}  // namespace velmora
