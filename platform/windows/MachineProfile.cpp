#include "platform/windows/MachineProfile.h"

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

#include "core/Error.h"
#include "platform/windows/OwnedHandle.h"
#include "platform/windows/SystemMessage.h"
#include "platform/windows/WideText.h"

namespace velmora {

namespace {

// A value as it was before a write: its data, or nothing where there was none.
using OldValue = std::pair<std::string, std::optional<std::vector<unsigned char>>>;

void PutBack(Registry& registry, const std::string& path, const std::vector<OldValue>& old,
             std::size_t count) {
    // Backwards, so that a key written twice ends with what it held first.
    for (std::size_t i = count; i-- > 0;) {
        const auto& [name, data] = old[i];
        if (data) {
            registry.SetString(RegistryRoot::LocalMachine, path, name, RegistryText(*data));
        } else {
            registry.DeleteValue(RegistryRoot::LocalMachine, path, name);
        }
    }
}

}  // namespace

MachineProfile::MachineProfile(std::wstring keyPath, Registry* registry)
    : keyPath_(std::move(keyPath)), registry_(registry) {}

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
    Registry& registry = Writer();
    const std::string path = Narrow(keyPath_);
    if (registry.CreateKey(RegistryRoot::LocalMachine, path) != ERROR_SUCCESS) {
        throw Error("Unable to write to " + FileName());
    }
    std::vector<OldValue> old;
    for (const auto& value : values) {
        old.emplace_back(value.first,
                         registry.ReadValue(RegistryRoot::LocalMachine, path, value.first));
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (registry.SetString(RegistryRoot::LocalMachine, path, values[i].first,
                               values[i].second) != ERROR_SUCCESS) {
            PutBack(registry, path, old, i);
            throw Error("Unable to write to " + FileName());
        }
    }
}

}  // namespace velmora
