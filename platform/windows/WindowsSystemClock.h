#pragma once

#include "platform/SystemClock.h"
#include "platform/windows/ClockCalls.h"
#include "platform/windows/ElevatedLauncher.h"
#include "platform/windows/TimeServiceCalls.h"

namespace velmora {

// The clock read with GetSystemTimePreciseAsFileTime (local time through the zone's rules) and
// stepped with SetSystemTime once SeSystemtimePrivilege is enabled. A token without the privilege
// (a standard user, or an administrator under UAC) has the step made by an elevated copy of the
// program, through the UAC prompt, when the user may be asked. The Windows Time service (W32Time)
// stands where timedated's NTP stands on Linux. Every refusal comes back in the system's words.
class WindowsSystemClock : public SystemClock {
  public:
    WindowsSystemClock(ClockCalls& calls, TimeServiceCalls& service, ElevatedLauncher& launcher);

    TDateTime LocalNow() const override;
    TDateTime UtcNow() const override;
    // Interrupt time (or the tick count): it goes on through sleep, like CLOCK_BOOTTIME.
    double SteadySeconds() const override;
    ClockSetResult StepBy(double offsetSeconds, AskUser ask) override;
    // W32Time installed: canNtp; running: ntp.
    TimeService ReadTimeService() override;
    ClockSetResult StopTimeService(AskUser ask) override;

  private:
    // The same request through the elevated copy, when the user may be asked.
    ClockSetResult Elevated(const std::string& parameters, AskUser ask);

    ClockCalls& calls_;
    TimeServiceCalls& service_;
    ElevatedLauncher& launcher_;
};

// A FILETIME tick count as the date-time value, to the millisecond; `local` through the current
// zone's rules for that date.
TDateTime DateTimeOfTicks(std::uint64_t utcTicks, bool local);

}  // namespace velmora
