#include "platform/LinuxSystemClock.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <optional>

#include "platform/TimedatedSetTime.h"

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

// The value as seconds and nanoseconds since 1970, to the precision of the double.
timespec ToTimespec(TDateTime utc) {
    const double days = utc - kUnixEpoch;
    const double wholeDays = std::floor(days);
    const double seconds = (days - wholeDays) * kSecondsPerDay;
    const double wholeSeconds = std::floor(seconds);
    long nanoseconds = std::lround((seconds - wholeSeconds) * 1e9);
    auto total =
        static_cast<std::int64_t>(wholeDays) * 86400 + static_cast<std::int64_t>(wholeSeconds);
    if (nanoseconds >= kNanosecondsPerSecond) {
        nanoseconds -= kNanosecondsPerSecond;
        ++total;
    }
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(total);
    ts.tv_nsec = nanoseconds;
    return ts;
}

std::int64_t Microseconds(const timespec& ts) {
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + (ts.tv_nsec + 500) / 1000;
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

ClockSetResult LinuxSystemClock::SetUtc(TDateTime utc, AskUser ask) {
    const timespec target = ToTimespec(utc);
    if (clock_settime(CLOCK_REALTIME, &target) == 0) {
        return {true, ""};
    }
    const int refusal = errno;
    // Without CAP_SYS_TIME, ask the way desktops do: timedated, with polkit asking the user.
    if (refusal == EPERM) {
        if (std::optional<ClockSetResult> answer =
                TimedatedSetTime(Microseconds(target), ask == AskUser::Yes)) {
            return *answer;
        }
    }
    return {false, std::strerror(refusal)};
}

}  // namespace velmora
