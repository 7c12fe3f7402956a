#pragma once

#include <string>

#include "platform/SettingsLocation.h"

namespace velmora {

// The settings file beside the program (ProgramDirectory and kSettingsFileName) when this user
// can write it there (a portable copy),
// otherwise, as when installed in Program Files, `perUser`, starting from the one beside the
// program.
SettingsLocation LocateSettingsFile(const std::string& besideProgram, const std::string& perUser);

// The user's roaming application data folder: %APPDATA% when it holds an absolute path, else the
// shell's known folder; empty when neither is known.
std::string UserAppDataDirectory();
// The user's application data folder of this machine alone, for what describes this machine:
// %LOCALAPPDATA% when it holds an absolute path, else the shell's known folder; empty when
// neither is known.
std::string UserLocalAppDataDirectory();
// "<appData>\Velmora\KXdefault.cfg"; empty when `appData` is.
std::string AppDataSettingsFile(const std::string& appData);

}  // namespace velmora
