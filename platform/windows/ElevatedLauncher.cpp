#include "platform/windows/ElevatedLauncher.h"

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include "platform/windows/WideText.h"

namespace velmora {
namespace {

// The shell may hand the verb to extensions, which want COM on the calling thread.
class ComScope {
  public:
    ComScope()
        : initialized_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (initialized_) {
            CoUninitialize();
        }
    }

  private:
    bool initialized_;
};

}  // namespace

ShellRunAs::ShellRunAs(std::string program, void* owner)
    : program_(std::move(program)), owner_(owner) {}

LaunchOutcome ShellRunAs::RunElevated(const std::string& parameters) {
    const ComScope com;
    const std::wstring file = Widen(program_);
    const std::wstring arguments = Widen(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = static_cast<HWND>(owner_.load());
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info)) {
        return {GetLastError(), 0};
    }
    if (info.hProcess == nullptr) {
        return {ERROR_INVALID_HANDLE, 0};
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD exitCode = 0;
    const bool known = GetExitCodeProcess(info.hProcess, &exitCode) != 0;
    const DWORD error = known ? 0 : GetLastError();
    CloseHandle(info.hProcess);
    return {error, exitCode};
}

}  // namespace velmora
