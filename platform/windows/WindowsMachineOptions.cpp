#include "platform/windows/WindowsMachineOptions.h"

#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/ElevatedClock.h"
#include "platform/windows/MachineSettingsCommand.h"
#include "platform/windows/TimeServiceCalls.h"
#include "platform/windows/TokenStanding.h"

namespace velmora {

namespace {

bool ServiceInstalled() {
    return ScmTimeService(kClockServiceName).Query().installed;
}

}  // namespace

WindowsMachineOptions::WindowsMachineOptions(ElevatedLauncher& launcher)
    : launcher_(launcher), firstAnswer_(std::async(std::launch::async, ServiceInstalled)) {}

bool WindowsMachineOptions::Present() const {
    return firstAnswer_.valid() ? firstAnswer_.get() : ServiceInstalled();
}

bool WindowsMachineOptions::MayChange() const {
    return CurrentTokenStanding() != TokenStanding::StandardUser;
}

std::string WindowsMachineOptions::Write(const ProfileFile::KeyValues& values) {
    const ClockSetResult result =
        RunElevatedCopy(launcher_, MachineSettingsArguments(values),
                        "the prompt for an administrator's approval was cancelled");
    return result.accepted ? "" : result.reason;
}

}  // namespace velmora
