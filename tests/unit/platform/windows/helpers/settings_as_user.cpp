// Writes two keys to the settings file the program would use, with %APPDATA% in a folder named
// for the user Jürgen under the folder given, and prints which file that was:
// velmora_test_settings_as_user <folder>.
#include <cstdio>
#include <string>

#include <windows.h>

#include "core/Error.h"
#include "core/Path.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsProfileFile.h"
#include "platform/windows/WindowsProgramPath.h"
#include "platform/windows/WindowsSettingsLocation.h"
#include "sync/Settings.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 2;
    }
    const std::wstring appData = std::wstring(argv[1]) + L"\\J\u00fcrgen\\AppData\\Roaming";
    SetEnvironmentVariableW(L"APPDATA", appData.c_str());
    try {
        const velmora::SettingsLocation location = velmora::LocateSettingsFile(
            velmora::ProgramDirectory(velmora::WindowsProgramPath().ExecutablePath()) +
                velmora::kPathSeparator + velmora::kSettingsFileName,
            velmora::AppDataSettingsFile(velmora::UserAppDataDirectory()));
        velmora::WindowsProfileFile file(location.file, location.defaults);
        file.WriteStrings(
            "Data", {{"GlobalTimeSrvList", "zeit.\xC5\x81ukasz.example"}, {"UpdateClock", "1"}});
        std::printf("%s\n", location.file.c_str());
    } catch (const velmora::Error& e) {
        std::printf("error: %s\n", e.what());
        return 1;
    }
    return 0;
}
