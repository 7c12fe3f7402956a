#include "platform/windows/TimeServiceCalls.h"

#include <windows.h>

#include "platform/windows/OwnedHandle.h"

namespace velmora {
namespace {

// How long a stopping service is waited for; W32Time stops within a second or two.
constexpr DWORD kStopWaitMilliseconds = 20000;
constexpr DWORD kPollMilliseconds = 100;

bool QueryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS& status) {
    DWORD needed = 0;
    return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                sizeof status, &needed) != 0;
}

unsigned long WaitUntilStopped(SC_HANDLE service) {
    for (DWORD waited = 0;; waited += kPollMilliseconds) {
        SERVICE_STATUS_PROCESS status{};
        if (!QueryStatus(service, status)) {
            return GetLastError();
        }
        if (status.dwCurrentState == SERVICE_STOPPED) {
            return 0;
        }
        if (waited >= kStopWaitMilliseconds) {
            return ERROR_SERVICE_REQUEST_TIMEOUT;
        }
        Sleep(kPollMilliseconds);
    }
}

}  // namespace

ScmTimeService::ScmTimeService(std::wstring name) : name_(std::move(name)) {}

ServiceState ScmTimeService::Query() {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager.Valid()) {
        return {};
    }
    const ServiceHandle service(OpenServiceW(manager.get(), name_.c_str(), SERVICE_QUERY_STATUS));
    if (!service.Valid()) {
        // Installed, though this user may not even ask: it is there and may keep the clock.
        return {GetLastError() == ERROR_ACCESS_DENIED, false};
    }
    SERVICE_STATUS_PROCESS status{};
    if (!QueryStatus(service.get(), status)) {
        return {true, false};
    }
    const bool running =
        status.dwCurrentState == SERVICE_RUNNING || status.dwCurrentState == SERVICE_START_PENDING;
    return {true, running};
}

unsigned long ScmTimeService::StopAndDisable() {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager.Valid()) {
        return GetLastError();
    }
    const ServiceHandle service(OpenServiceW(
        manager.get(), name_.c_str(), SERVICE_CHANGE_CONFIG | SERVICE_STOP | SERVICE_QUERY_STATUS));
    if (!service.Valid()) {
        const DWORD error = GetLastError();
        // No service, nothing that keeps the clock.
        return error == ERROR_SERVICE_DOES_NOT_EXIST ? 0 : error;
    }
    // Disabled first: a trigger-started W32Time would otherwise come back at the next trigger.
    if (!ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, SERVICE_DISABLED, SERVICE_NO_CHANGE,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)) {
        return GetLastError();
    }
    SERVICE_STATUS status{};
    if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
        const DWORD error = GetLastError();
        if (error != ERROR_SERVICE_NOT_ACTIVE) {
            return error;
        }
    }
    return WaitUntilStopped(service.get());
}

}  // namespace velmora
