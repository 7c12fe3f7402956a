#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProfileFile.h"

namespace velmora {

// The elevated copy's command that writes the machine's settings: an administrator under UAC may
// not write them from the program itself, so the options command starts a copy through the UAC
// prompt with the values to write, and the copy writes them once they pass `check`.

// The values to write, or nothing when they may not be written.
using MachineValuesCheck =
    std::function<std::optional<ProfileFile::KeyValues>(const ProfileFile::KeyValues&)>;

// "/VelmoraMachineSettings:<hex>": every key and value, each ended by a NUL, in hexadecimal, so
// that no text of theirs can become another argument.
std::string MachineSettingsArguments(const ProfileFile::KeyValues& values);

// For that command: writes the checked values into `machine` and returns the exit code
// (kPrivateCommandDone; ERROR_INVALID_DATA for values that do not pass, ERROR_CANTWRITE for a
// write that failed); nothing for any other command line.
std::optional<int> RunMachineSettingsCommand(const std::vector<std::string>& args,
                                             ProfileFile& machine, const MachineValuesCheck& check);

}  // namespace velmora
