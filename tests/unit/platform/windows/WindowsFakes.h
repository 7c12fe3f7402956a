#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows/ClockCalls.h"
#include "platform/windows/ElevatedLauncher.h"
#include "platform/windows/TimeServiceCalls.h"

namespace velmora {

// 2026-01-01 00:00 UTC in FILETIME ticks.
inline constexpr std::uint64_t kNewYear2026 = 134116992000000000ULL;
inline constexpr std::uint64_t kTicksPerSecond = 10000000ULL;

// A clock whose token holds the privilege or not, and whose SetSystemTime answers as told; the
// clock never moves by itself, the test moves it.
class FakeClockCalls : public ClockCalls {
  public:
    std::uint64_t utc = kNewYear2026;
    std::uint64_t steady = 5000 * kTicksPerSecond;
    unsigned long privilege = 0;  // what EnableTimePrivilege answers
    unsigned long setAnswer = 0;  // what SetUtc answers
    std::vector<std::uint64_t> set;

    std::uint64_t UtcTicks() const override { return utc; }
    std::uint64_t SteadyTicks() const override { return steady; }
    unsigned long EnableTimePrivilege() override { return privilege; }
    unsigned long SetUtc(std::uint64_t ticks) override {
        set.push_back(ticks);
        return setAnswer;
    }
};

class FakeTimeService : public TimeServiceCalls {
  public:
    ServiceState state;
    unsigned long stopAnswer = 0;
    int stops = 0;
    ServiceState Query() override { return state; }
    unsigned long StopAndDisable() override {
        ++stops;
        return stopAnswer;
    }
};

// Records the parameters; answers as told, or runs `copy` (the elevated copy) in this process.
class FakeLauncher : public ElevatedLauncher {
  public:
    LaunchOutcome answer;
    std::vector<std::string> parameters;
    std::function<LaunchOutcome(const std::string&)> copy;
    LaunchOutcome RunElevated(const std::string& given) override {
        parameters.push_back(given);
        return copy ? copy(given) : answer;
    }
};

}  // namespace velmora
