#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/SystemClock.h"
#include "platform/windows/ClockCalls.h"
#include "platform/windows/ElevatedLauncher.h"
#include "platform/windows/TimeServiceCalls.h"

namespace velmora {

// The elevated copy of velmora.exe: a standard user's process (or an administrator's under UAC)
// does not hold the right to set the clock, so it starts a copy of itself through the UAC prompt
// with one private argument, and that copy does the one thing asked and ends. This argument is
// one of the few the program reads (app/win32 adds the one that writes the machine's settings);
// anything else on the command line is no argument at all.

// The exit code of a copy that did what it was asked. Any other code is a Windows error code of
// the call that refused (all below 65536), or a copy that did not take the argument (0).
inline constexpr int kPrivateCommandDone = 0x10000;

// "/VelmoraStepClock:<utc>:<steady>": step the clock to the held server time, carried forward on
// the steady clock to the moment the copy sets it (the prompt may have stayed open a while).
std::string StepClockArguments(const HeldTicks& held);
// "/VelmoraStopTimeService": stop and disable the Windows Time service.
std::string StopTimeServiceArguments();

// What the Windows entry calls first thing with its arguments (without the program's name): for
// the private argument, does what it says and returns the exit code; nothing for any other
// command line, which is then no argument at all.
std::optional<int> RunPrivateCommand(const std::vector<std::string>& args);
std::optional<int> RunPrivateCommand(const std::vector<std::string>& args, ClockCalls& clock,
                                     TimeServiceCalls& service);

// The program's arguments as Windows parsed its command line, UTF-8, without its name; none when
// the command line holds no private command (the only argument the program reads).
std::vector<std::string> ProgramArguments();

// The words for a prompt the user said no to, when the copy was to set the clock.
inline constexpr const char* kClockLeftAsItWas =
    "The prompt for an administrator's approval was cancelled, so the clock was left as it was";

// Runs the elevated copy with `parameters` and says how it went, in plain words; `cancelled`
// when the user said no to the prompt.
ClockSetResult RunElevatedCopy(ElevatedLauncher& launcher, const std::string& parameters,
                               const std::string& cancelled = kClockLeftAsItWas);

}  // namespace velmora
