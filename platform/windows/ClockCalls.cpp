#include "platform/windows/ClockCalls.h"

#include <windows.h>

#include <initializer_list>

#include "platform/windows/OwnedHandle.h"

namespace velmora {
namespace {

constexpr std::uint64_t kTicksPerMillisecond = 10000;

std::uint64_t FromFileTime(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ToFileTime(std::uint64_t ticks) {
    FILETIME time{};
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

using InterruptTimeFunction = VOID(WINAPI*)(PULONGLONG);

// Windows 8 lacks both, and so does Wine 8: they are looked up, not imported.
InterruptTimeFunction FindInterruptTime() {
    const HMODULE kernel = GetModuleHandleW(L"kernelbase.dll");
    if (kernel == nullptr) {
        return nullptr;
    }
    for (const char* name : {"QueryInterruptTimePrecise", "QueryInterruptTime"}) {
        if (FARPROC found = GetProcAddress(kernel, name)) {
            return reinterpret_cast<InterruptTimeFunction>(reinterpret_cast<void*>(found));
        }
    }
    return nullptr;
}

InterruptTimeFunction InterruptTime() {
    static const InterruptTimeFunction function = FindInterruptTime();
    return function;
}

}  // namespace

std::uint64_t WindowsClockCalls::UtcTicks() const {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return FromFileTime(now);
}

std::uint64_t WindowsClockCalls::SteadyTicks() const {
    if (const InterruptTimeFunction read = InterruptTime()) {
        ULONGLONG ticks = 0;
        read(&ticks);
        return ticks;
    }
    return GetTickCount64() * kTicksPerMillisecond;
}

unsigned long WindowsClockCalls::EnableTimePrivilege() {
    FileHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token.out())) {
        return GetLastError();
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
        return GetLastError();
    }
    // Success with ERROR_NOT_ALL_ASSIGNED: the token does not hold the privilege at all.
    return GetLastError();
}

unsigned long WindowsClockCalls::SetUtc(std::uint64_t utcTicks) {
    // SYSTEMTIME holds milliseconds: the nearest one, not the one before.
    const FILETIME target = ToFileTime(utcTicks + kTicksPerMillisecond / 2);
    SYSTEMTIME time{};
    if (!FileTimeToSystemTime(&target, &time)) {
        return GetLastError();
    }
    return SetSystemTime(&time) ? 0 : GetLastError();
}

const char* SteadyClockSource() {
    return InterruptTime() != nullptr ? "interrupt time" : "GetTickCount64";
}

std::uint64_t HeldUtcNow(const ClockCalls& calls, const HeldTicks& held) {
    // Unsigned arithmetic wraps, so the difference comes out right either way round.
    return held.utc + (calls.SteadyTicks() - held.steady);
}

unsigned long StepToHeld(ClockCalls& calls, const HeldTicks& held) {
    if (const unsigned long refused = calls.EnableTimePrivilege()) {
        return refused;
    }
    return calls.SetUtc(HeldUtcNow(calls, held));
}

}  // namespace velmora
