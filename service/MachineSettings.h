#pragma once

#include "platform/ProfileFile.h"
#include "service/EventSink.h"
#include "sync/SettingsTable.h"

namespace velmora {

// The machine's settings by the settings file's rules; a value that reads as its default for
// being out of range is told to the event log. Throws velmora::Error when they cannot be read.
TSettings ReadMachineSettings(const ProfileFile& machine, EventSink& events);

// What a first install writes where nothing is yet: the program's default servers, a
// synchronization every hour and at the service's start, the step limit's default.
ProfileFile::KeyValues FirstMachineSettings();

// The values the installer's SERVERS (a "|"-separated list) and INTERVAL (whole minutes) give;
// an empty property leaves its value alone. Throws velmora::Error for an INTERVAL that is no
// whole number of minutes.
ProfileFile::KeyValues InstallerSettings(const std::string& servers, const std::string& interval);

}  // namespace velmora
