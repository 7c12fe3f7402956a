#pragma once

#include <cstdint>

namespace velmora {

// The Windows calls that read and set the clock, behind an interface so that a test can put a
// token without the privilege, or a refusing SetSystemTime, in their place. Times are in 100 ns
// ticks: UTC since 1601 (FILETIME), and a steady clock that no setting moves and that goes on
// through sleep, the same for every process of the machine.
class ClockCalls {
  public:
    virtual ~ClockCalls() = default;
    virtual std::uint64_t UtcTicks() const = 0;
    virtual std::uint64_t SteadyTicks() const = 0;
    // Enables SeSystemtimePrivilege in this process's token: 0, ERROR_NOT_ALL_ASSIGNED when the
    // token does not hold it (a standard user, or an administrator's filtered token under UAC),
    // or the system's error code.
    virtual unsigned long EnableTimePrivilege() = 0;
    // SetSystemTime to `utcTicks`, to the millisecond: 0 or the system's error code.
    virtual unsigned long SetUtc(std::uint64_t utcTicks) = 0;
};

// The real calls: GetSystemTimePreciseAsFileTime; QueryInterruptTimePrecise or
// QueryInterruptTime where the system has them (Windows 10), else GetTickCount64;
// AdjustTokenPrivileges; SetSystemTime.
class WindowsClockCalls : public ClockCalls {
  public:
    std::uint64_t UtcTicks() const override;
    std::uint64_t SteadyTicks() const override;
    unsigned long EnableTimePrivilege() override;
    unsigned long SetUtc(std::uint64_t utcTicks) override;
};

// Where the steady clock comes from, for the README's and the tests' sake.
const char* SteadyClockSource();

// A server's UTC time held against the steady clock, as the elevated copy receives it.
struct HeldTicks {
    std::uint64_t utc = 0;
    std::uint64_t steady = 0;
    bool operator==(const HeldTicks&) const = default;
};

// The held time carried forward to now: what the clock should read.
std::uint64_t HeldUtcNow(const ClockCalls& calls, const HeldTicks& held);
// Enables the privilege, then sets the clock to the held time as it is at that moment, however
// long ago it was held: 0 or the error code of the call that refused.
unsigned long StepToHeld(ClockCalls& calls, const HeldTicks& held);

}  // namespace velmora
