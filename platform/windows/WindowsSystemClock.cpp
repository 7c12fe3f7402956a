#include "platform/windows/WindowsSystemClock.h"

#include <windows.h>

#include <cmath>
#include <cstdint>

#include "platform/windows/ElevatedClock.h"
#include "platform/windows/SystemMessage.h"

namespace velmora {
namespace {

constexpr double kTicksPerSecond = 1e7;

constexpr const char* kNeedsApproval =
    "Setting the clock needs an administrator's approval, and nobody was there to ask";

}  // namespace

TDateTime DateTimeOfTicks(std::uint64_t utcTicks, bool local) {
    FILETIME time{};
    time.dwLowDateTime = static_cast<DWORD>(utcTicks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(utcTicks >> 32);
    SYSTEMTIME utc{};
    SYSTEMTIME shown{};
    FileTimeToSystemTime(&time, &utc);
    if (!local || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &shown)) {
        shown = utc;
    }
    DateTimeParts parts;
    parts.year = shown.wYear;
    parts.month = shown.wMonth;
    parts.day = shown.wDay;
    parts.hour = shown.wHour;
    parts.minute = shown.wMinute;
    parts.second = shown.wSecond;
    parts.millisecond = shown.wMilliseconds;
    return EncodeDateTime(parts);
}

WindowsSystemClock::WindowsSystemClock(ClockCalls& calls, TimeServiceCalls& service,
                                       ElevatedLauncher& launcher)
    : calls_(calls), service_(service), launcher_(launcher) {}

TDateTime WindowsSystemClock::LocalNow() const {
    return DateTimeOfTicks(calls_.UtcTicks(), true);
}

TDateTime WindowsSystemClock::UtcNow() const {
    return DateTimeOfTicks(calls_.UtcTicks(), false);
}

double WindowsSystemClock::SteadySeconds() const {
    return static_cast<double>(calls_.SteadyTicks()) / kTicksPerSecond;
}

ClockSetResult WindowsSystemClock::StepBy(double offsetSeconds, AskUser ask) {
    if (std::llround(offsetSeconds * 1e6) == 0) {
        return {true, ""};
    }
    // The server's time now, held against the steady clock: the elevated copy carries it on to
    // the moment it sets the clock, however long the prompt stays open.
    const HeldTicks held{calls_.UtcTicks() + static_cast<std::uint64_t>(
                                                 std::llround(offsetSeconds * kTicksPerSecond)),
                         calls_.SteadyTicks()};
    const unsigned long refused = StepToHeld(calls_, held);
    if (refused == 0) {
        return {true, ""};
    }
    if (refused == ERROR_NOT_ALL_ASSIGNED) {
        return Elevated(StepClockArguments(held), ask);
    }
    return {false, SystemMessage(refused)};
}

TimeService WindowsSystemClock::ReadTimeService() {
    const ServiceState state = service_.Query();
    return {state.installed, state.running};
}

ClockSetResult WindowsSystemClock::StopTimeService(AskUser ask) {
    const unsigned long refused = service_.StopAndDisable();
    if (refused == 0) {
        return {true, ""};
    }
    if (refused == ERROR_ACCESS_DENIED) {
        return Elevated(StopTimeServiceArguments(), ask);
    }
    return {false, SystemMessage(refused)};
}

ClockSetResult WindowsSystemClock::Elevated(const std::string& parameters, AskUser ask) {
    if (ask == AskUser::No) {
        return {false, kNeedsApproval};
    }
    return RunElevatedCopy(launcher_, parameters);
}

}  // namespace velmora
