#include "net/io/SharedLibrary.h"

#include <windows.h>

namespace velmora {

// Built with the program from Debian's sources and shipped beside velmora.exe.
const char* const kGnuTlsLibrary = "libgnutls-30.dll";
const char* const kNettleLibrary = "libnettle-8.dll";

namespace {

// Never the search path (the current folder, PATH), where anyone could put a DLL of that name:
// the program's own folder for what it ships, and System32, which only an administrator can
// write, for Windows' own DLLs, those the shipped ones import included.
DWORD Where(SharedLibrary::Origin origin) {
    return origin == SharedLibrary::Origin::kShipped
               ? LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
               : LOAD_LIBRARY_SEARCH_SYSTEM32;
}

std::wstring Ascii(const std::string& name) {
    return std::wstring(name.begin(), name.end());
}

}  // namespace

SharedLibrary::SharedLibrary(const char* name, Origin origin) : name_(name) {
    handle_ = LoadLibraryExW(Ascii(name_).c_str(), nullptr, Where(origin));
    if (handle_ == nullptr) {
        const DWORD error = GetLastError();
        failure_ =
            error == ERROR_MOD_NOT_FOUND
                ? name_ + ", or a library it needs, is not in the program's folder"
                : name_ + " could not be loaded (Windows error " + std::to_string(error) + ")";
    }
}

SharedLibrary::Address SharedLibrary::Symbol(const char* symbol) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
    // FARPROC to any function pointer by way of void (*)(), which stands for every one.
    return reinterpret_cast<Address>(GetProcAddress(static_cast<HMODULE>(handle_), symbol));
}

}  // namespace velmora
