#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ProfileFile.h"
#include "sync/SettingsTable.h"
#include "sync/TimeView.h"

namespace velmora {

inline constexpr const char* kSettingsFileName = "KXdefault.cfg";
inline constexpr const char* kSettingsSection = "Data";
// The folder of the program's own in a user's configuration folder.
inline constexpr const char* kUserSettingsFolder = "velmora";

// Reads the eight keys in file order; minimizes the window (view.SetWindowMinimized) as soon as
// "GlobalMinimize" reads true; fills serverList from "GlobalTimeSrvList".
void LoadSettings(TSettings& settings, std::vector<std::string>& serverList,
                  const ProfileFile& file, TimeView& view);
// The same, telling `told` of each value that reads as its default for being out of range or no
// integer (the first form tells standard error).
void LoadSettings(TSettings& settings, std::vector<std::string>& serverList,
                  const ProfileFile& file, TimeView& view, std::ostream& told);
// Reads every setting of the table in order, telling `told` of each value that reads as its
// default for being out of range or no integer; `read` hears of each setting once it is in.
void ReadSettings(TSettings& settings, const ProfileFile& file, std::ostream& told,
                  const std::function<void(const SettingDefinition&)>& read = {});
// Writes all eight keys in file order, in one replace of the file; throws
// velmora::Error("Unable to write to ...") and then writes none.
void SaveSettings(const TSettings& settings, ProfileFile& file);
// The keys and texts that SaveSettings writes, in its order.
ProfileFile::KeyValues SettingsValues(const TSettings& settings);

// Clears `list` and fills it with the pieces of `text` split at `delimiter`.
void SplitList(const std::string& text, char delimiter, std::vector<std::string>& list);

// Directory of the executable `executablePath` without a trailing separator: for a file in "/"
// the empty text, for one in "C:\" the text "C:", so that ProgramDirectory, kPathSeparator and
// its file name are always the full name.
std::string ProgramDirectory(const std::string& executablePath);
// The settings file of a user whose configuration folder is `configDirectory` (used where the
// program's own folder cannot be written); empty when the folder is unknown.
std::string PerUserSettingsFile(const std::string& configDirectory);

}  // namespace velmora
