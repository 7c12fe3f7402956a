#include "platform/windows/Registry.h"

#include <windows.h>

#include <cstring>

#include "platform/windows/OwnedHandle.h"
#include "platform/windows/WideText.h"

namespace velmora {
namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

long Open(RegistryRoot root, const std::string& path, REGSAM access, KeyHandle& key) {
    return RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0, access, key.out());
}

long SetValue(RegistryRoot root, const std::string& path, const std::string& name, DWORD type,
              const void* data, std::size_t size) {
    KeyHandle key;
    if (const long opened = Open(root, path, KEY_SET_VALUE, key)) {
        return opened;
    }
    return RegSetValueExW(key.get(), Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size));
}

}  // namespace

long WindowsRegistry::CreateKey(RegistryRoot root, const std::string& path) {
    KeyHandle key;
    return RegCreateKeyExW(RootKey(root), Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.out(), nullptr);
}

long WindowsRegistry::OpenKey(RegistryRoot root, const std::string& path) {
    KeyHandle key;
    return Open(root, path, KEY_SET_VALUE | KEY_QUERY_VALUE, key);
}

long WindowsRegistry::SetString(RegistryRoot root, const std::string& path, const std::string& name,
                                const std::string& value) {
    const std::wstring wide = Widen(value);
    // The length counts the terminating NUL.
    return SetValue(root, path, name, REG_SZ, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

long WindowsRegistry::SetBinary(RegistryRoot root, const std::string& path, const std::string& name,
                                const std::vector<unsigned char>& value) {
    return SetValue(root, path, name, REG_BINARY, value.data(), value.size());
}

long WindowsRegistry::DeleteValue(RegistryRoot root, const std::string& path,
                                  const std::string& name) {
    KeyHandle key;
    if (const long opened = Open(root, path, KEY_SET_VALUE, key)) {
        return opened;
    }
    return RegDeleteValueW(key.get(), Widen(name).c_str());
}

std::optional<std::vector<unsigned char>> WindowsRegistry::ReadValue(
    RegistryRoot root, const std::string& path, const std::string& name) const {
    KeyHandle key;
    if (Open(root, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::wstring wideName = Widen(name);
    std::vector<unsigned char> data(256);
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD size = static_cast<DWORD>(data.size());
        const long read =
            RegQueryValueExW(key.get(), wideName.c_str(), nullptr, nullptr, data.data(), &size);
        if (read == ERROR_SUCCESS) {
            data.resize(size);
            return data;
        }
        if (read != ERROR_MORE_DATA) {
            return std::nullopt;
        }
        data.resize(size);
    }
    return std::nullopt;
}

std::string RegistryText(const std::vector<unsigned char>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return Narrow(text);
}

}  // namespace velmora
