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

// The folder the environment names when it holds an absolute path, else the shell's known
// folder: asking the shell loads shell32 and COM, which a start can do without.
std::string UserFolder(const wchar_t* variable, REFKNOWNFOLDERID id) {
    const std::wstring named = Environment(variable);
    if (IsAbsolute(named)) {
        return Narrow(named);
    }
    const std::wstring known = KnownFolder(id);
    return IsAbsolute(known) ? Narrow(known) : "";
}

}  // namespace

SettingsLocation LocateSettingsFile(const std::string& besideProgram, const std::string& perUser) {
    return ChooseSettingsFile(besideProgram, perUser,
                              !perUser.empty() && CanReplaceIn(besideProgram));
}

std::string UserAppDataDirectory() {
    return UserFolder(L"APPDATA", FOLDERID_RoamingAppData);
}

std::string UserLocalAppDataDirectory() {
    return UserFolder(L"LOCALAPPDATA", FOLDERID_LocalAppData);
}

std::string AppDataSettingsFile(const std::string& appData) {
    if (appData.empty()) {
        return "";
    }
    return JoinWindowsPath(JoinWindowsPath(appData, kFolder), kFileName);
}

}  // namespace velmora
