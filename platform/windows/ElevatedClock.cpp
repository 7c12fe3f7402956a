#include "platform/windows/ElevatedClock.h"

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <shellapi.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string_view>

#include "platform/windows/SystemMessage.h"
#include "platform/windows/WideText.h"

namespace velmora {
namespace {

constexpr std::string_view kStepClock = "/VelmoraStepClock:";
constexpr std::string_view kStopTimeService = "/VelmoraStopTimeService";
// What every private command begins with.
constexpr const wchar_t* kPrivateMark = L"/Velmora";
// The last tick a SYSTEMTIME can hold is far below this: anything above is no time of ours.
constexpr std::uint64_t kLastUtcTick = 0x7FFFFFFFFFFFFFFFULL;

constexpr const char* kNotTaken = "The elevated copy of Velmora did not take its command";
constexpr const char* kEndedWith = "The elevated copy of Velmora ended with code ";

// Decimal digits exactly as written: no sign, no blanks, no leading zero, no overflow.
std::optional<std::uint64_t> ParseTicks(std::string_view text) {
    if (text.empty() || (text.size() > 1 && text.front() == '0')) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<HeldTicks> ParseStepClock(std::string_view argument) {
    if (argument.substr(0, kStepClock.size()) != kStepClock) {
        return std::nullopt;
    }
    argument.remove_prefix(kStepClock.size());
    const std::size_t colon = argument.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto utc = ParseTicks(argument.substr(0, colon));
    const auto steady = ParseTicks(argument.substr(colon + 1));
    if (!utc || !steady || *utc > kLastUtcTick) {
        return std::nullopt;
    }
    return HeldTicks{*utc, *steady};
}

int ExitCodeOf(unsigned long error) {
    return error == 0 ? kPrivateCommandDone : static_cast<int>(error & 0xFFFF);
}

}  // namespace

std::string StepClockArguments(const HeldTicks& held) {
    return std::string(kStepClock) + std::to_string(held.utc) + ":" + std::to_string(held.steady);
}

std::string StopTimeServiceArguments() {
    return std::string(kStopTimeService);
}

std::optional<int> RunPrivateCommand(const std::vector<std::string>& args, ClockCalls& clock,
                                     TimeServiceCalls& service) {
    if (args.size() != 1) {
        return std::nullopt;
    }
    if (args[0] == kStopTimeService) {
        return ExitCodeOf(service.StopAndDisable());
    }
    if (const std::optional<HeldTicks> held = ParseStepClock(args[0])) {
        return ExitCodeOf(StepToHeld(clock, *held));
    }
    return std::nullopt;
}

std::optional<int> RunPrivateCommand(const std::vector<std::string>& args) {
    WindowsClockCalls clock;
    ScmTimeService service;
    return RunPrivateCommand(args, clock, service);
}

std::vector<std::string> ProgramArguments() {
    // Parsing loads shell32 (and what it loads), which an ordinary start does without: only a
    // command line that may hold the private command is parsed.
    const wchar_t* line = GetCommandLineW();
    if (std::wcsstr(line, kPrivateMark) == nullptr) {
        return {};
    }
    int count = 0;
    wchar_t** words = CommandLineToArgvW(line, &count);
    std::vector<std::string> args;
    for (int i = 1; words != nullptr && i < count; ++i) {
        args.push_back(Narrow(words[i]));
    }
    LocalFree(words);
    return args;
}

ClockSetResult RunElevatedCopy(ElevatedLauncher& launcher, const std::string& parameters,
                               const std::string& cancelled) {
    const LaunchOutcome outcome = launcher.RunElevated(parameters);
    if (outcome.launchError == ERROR_CANCELLED) {
        return {false, cancelled};
    }
    if (outcome.launchError != 0) {
        return {false, SystemMessage(outcome.launchError)};
    }
    if (outcome.exitCode == static_cast<unsigned long>(kPrivateCommandDone)) {
        return {true, ""};
    }
    if (outcome.exitCode == 0) {
        return {false, kNotTaken};
    }
    if (outcome.exitCode > 0xFFFF) {
        // Not a code of ours: the copy crashed or was ended.
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", outcome.exitCode);
        return {false, std::string(kEndedWith) + code};
    }
    return {false, SystemMessage(outcome.exitCode)};
}

}  // namespace velmora
