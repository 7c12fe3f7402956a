#include "platform/windows/MachineProfile.h"

#include <windows.h>

#include <utility>

#include "core/Error.h"
#include "platform/windows/OwnedHandle.h"
#include "platform/windows/SystemMessage.h"
#include "platform/windows/WideText.h"

namespace velmora {

MachineProfile::MachineProfile(std::wstring keyPath) : keyPath_(std::move(keyPath)) {}

std::string MachineProfile::FileName() const {
    return "HKEY_LOCAL_MACHINE\\" + Narrow(keyPath_);
}

bool MachineProfile::Exists() const {
    KeyHandle handle;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_QUERY_VALUE, handle.out()) !=
           ERROR_FILE_NOT_FOUND;
}

std::string MachineProfile::ReadString(const std::string&, const std::string& key,
                                       const std::string& fallback) const {
    KeyHandle handle;
    const LSTATUS opened =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_QUERY_VALUE, handle.out());
    if (opened != ERROR_SUCCESS) {
        throw Error("The machine's settings (" + FileName() +
                    ") cannot be read: " + SystemMessage(static_cast<unsigned long>(opened)));
    }
    const std::wstring name = Widen(key);
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS status = RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, nullptr, &bytes);
    if (status == ERROR_FILE_NOT_FOUND) {
        return fallback;
    }
    std::wstring value((bytes + 1) / sizeof(wchar_t) + 1, L'\0');
    if (status == ERROR_SUCCESS && type == REG_SZ) {
        bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        status = RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.data()), &bytes);
    }
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        throw Error("The machine's setting " + key + " (" + FileName() + ") cannot be read: " +
                    (status != ERROR_SUCCESS ? SystemMessage(static_cast<unsigned long>(status))
                                             : "it is not a text (REG_SZ)"));
    }
    value.resize(wcsnlen(value.c_str(), bytes / sizeof(wchar_t)));
    std::string text = Narrow(value);
    if (text.size() > kMaxValueLength) {
        text.resize(kMaxValueLength);
    }
    return text;
}

void MachineProfile::WriteStrings(const std::string&, const KeyValues& values) {
    KeyHandle handle;
    LSTATUS status =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, handle.out(), nullptr);
    for (auto value = values.begin(); status == ERROR_SUCCESS && value != values.end(); ++value) {
        const std::wstring name = Widen(value->first);
        const std::wstring data = Widen(value->second);
        status = RegSetValueExW(handle.get(), name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(data.c_str()),
                                static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }
    if (status != ERROR_SUCCESS) {
        throw Error("Unable to write to " + FileName());
    }
}

}  // namespace velmora
