#pragma once

#include <string>

#include "platform/SettingsLocation.h"

namespace velmora {

// `besideProgram` when it can be written there (a portable copy: the file, or while it does not
// exist its folder, writable), else `perUser`, which reads the one beside the program until it
// exists itself, so that an administrator's file serves as the defaults.
SettingsLocation LocateSettingsFile(const std::string& besideProgram, const std::string& perUser);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else the home
// folder's .config; empty when no home folder is known.
std::string UserConfigDirectory();
// The user's state folder: $XDG_STATE_HOME when it is an absolute path, else the home folder's
// .local/state; empty when no home folder is known.
std::string UserStateDirectory();
// The user's cache folder, by the same rules: $XDG_CACHE_HOME, else the home folder's .cache.
std::string UserCacheDirectory();

}  // namespace velmora
