#include "platform/linux/LinuxSystemClock.h"

#include <sys/timex.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <optional>

#include "platform/linux/Timedated.h"

namespace velmora {
namespace {

constexpr long kNanosecondsPerSecond = 1000000000L;

timespec ReadRealtime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

TDateTime FromTm(const std::tm& tm, long nanoseconds) {
    DateTimeParts parts;
    parts.year = tm.tm_year + 1900;
    parts.month = tm.tm_mon + 1;
    parts.day = tm.tm_mday;
    parts.hour = tm.tm_hour;
    parts.minute = tm.tm_min;
    // A leap second (60) is shown as the last second of its minute.
    parts.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    parts.millisecond = static_cast<int>(nanoseconds / 1000000L);
    return EncodeDateTime(parts);
}

// The offset in whole nanoseconds as clock_adjtime takes it: seconds rounded down, nanoseconds
// 0 to 999999999 (so -0.25 s is -1 s + 750000000 ns).
timeval NanosecondStep(std::int64_t nanoseconds) {
    std::int64_t seconds = nanoseconds / kNanosecondsPerSecond;
    std::int64_t rest = nanoseconds % kNanosecondsPerSecond;
    if (rest < 0) {
        rest += kNanosecondsPerSecond;
        --seconds;
    }
    timeval step{};
    step.tv_sec = static_cast<time_t>(seconds);
    step.tv_usec = static_cast<suseconds_t>(rest);  // nanoseconds, with ADJ_NANO
    return step;
}

}  // namespace

TDateTime LinuxSystemClock::LocalNow() const {
    const timespec now = ReadRealtime();
    std::tm tm{};
    localtime_r(&now.tv_sec, &tm);
    return FromTm(tm, now.tv_nsec);
}

TDateTime LinuxSystemClock::UtcNow() const {
    const timespec now = ReadRealtime();
    std::tm tm{};
    gmtime_r(&now.tv_sec, &tm);
    return FromTm(tm, now.tv_nsec);
}

double LinuxSystemClock::SteadySeconds() const {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

ClockSetResult LinuxSystemClock::StepBy(double offsetSeconds, AskUser ask) {
    const auto microseconds = static_cast<std::int64_t>(std::llround(offsetSeconds * 1e6));
    if (microseconds == 0) {
        return {true, ""};
    }
    timex step{};
    step.modes = ADJ_SETOFFSET | ADJ_NANO;
    step.time = NanosecondStep(static_cast<std::int64_t>(std::llround(offsetSeconds * 1e9)));
    if (clock_adjtime(CLOCK_REALTIME, &step) >= 0) {
        return {true, ""};
    }
    const int refusal = errno;
    // Without CAP_SYS_TIME, ask the way desktops do: timedated, with polkit asking the user. The
    // offset is added when timedated steps the clock, after polkit has answered.
    if (refusal == EPERM) {
        if (std::optional<ClockSetResult> answer =
                TimedatedSetTime(microseconds, true, ask == AskUser::Yes)) {
            return *answer;
        }
    }
    return {false, std::strerror(refusal)};
}

TimeService LinuxSystemClock::ReadTimeService() {
    return TimedatedTimeService().value_or(TimeService{});
}

ClockSetResult LinuxSystemClock::StopTimeService(AskUser ask) {
    return TimedatedSetNtp(false, ask == AskUser::Yes)
        .value_or(ClockSetResult{false, "systemd-timedated is not there to ask"});
}

}  // namespace velmora
