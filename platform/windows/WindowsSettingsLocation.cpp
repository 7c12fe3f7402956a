#include "platform/windows/WindowsSettingsLocation.h"

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "platform/windows/AtomicFile.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPath.h"

namespace velmora {
namespace {

constexpr const char* kFolder = "Velmora";
constexpr const char* kFileName = "KXdefault.cfg";

// "C:\..." or "\\server\...".
bool IsAbsolute(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
           (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

std::wstring Environment(const wchar_t* name) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(length);
    }
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        folder = path;
    }
    CoTaskMemFree(path);
    return folder;
}

}  // namespace

SettingsLocation LocateSettingsFile(const std::string& besideProgram, const std::string& perUser) {
    return ChooseSettingsFile(besideProgram, perUser,
                              !perUser.empty() && CanReplaceIn(besideProgram));
}

std::string UserAppDataDirectory() {
    const std::wstring variable = Environment(L"APPDATA");
    if (IsAbsolute(variable)) {
        return Narrow(variable);
    }
    const std::wstring known = KnownFolder(FOLDERID_RoamingAppData);
    return IsAbsolute(known) ? Narrow(known) : "";
}

std::string UserLocalAppDataDirectory() {
    const std::wstring known = KnownFolder(FOLDERID_LocalAppData);
    return IsAbsolute(known) ? Narrow(known) : "";
}

std::string AppDataSettingsFile(const std::string& appData) {
    if (appData.empty()) {
        return "";
    }
    return JoinWindowsPath(JoinWindowsPath(appData, kFolder), kFileName);
}

}  // namespace velmora
