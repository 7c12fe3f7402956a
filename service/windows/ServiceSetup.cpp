#include "service/windows/ServiceSetup.h"

#include <windows.h>

#include <cstdio>
#include <exception>

#include "core/Error.h"
#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/MachineProfile.h"
#include "platform/windows/OwnedHandle.h"
#include "service/MachineSettings.h"
#include "sync/Settings.h"

namespace velmora {
namespace {

constexpr DWORD kRestartDelayMs = 60 * 1000;
constexpr DWORD kFailureCountResetSeconds = 24 * 60 * 60;
constexpr const wchar_t* kEventSourceKey =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Velmora";

DWORD Configure(SC_HANDLE service) {
    // Double NUL-terminated: nothing but the right to set the clock (and to pass through
    // folders, which every process needs).
    wchar_t privileges[] = L"SeSystemtimePrivilege\0SeChangeNotifyPrivilege\0";
    SERVICE_REQUIRED_PRIVILEGES_INFOW required{privileges};
    SERVICE_SID_INFO sid{SERVICE_SID_TYPE_UNRESTRICTED};
    SERVICE_DELAYED_AUTO_START_INFO delayed{TRUE};
    SC_ACTION actions[] = {{SC_ACTION_RESTART, kRestartDelayMs},
                           {SC_ACTION_RESTART, kRestartDelayMs},
                           {SC_ACTION_RESTART, kRestartDelayMs}};
    SERVICE_FAILURE_ACTIONSW failure{kFailureCountResetSeconds, nullptr, nullptr, 3, actions};
    // A stop with an error code counts as a failure too, not only a crash.
    SERVICE_FAILURE_ACTIONS_FLAG failureFlag{TRUE};
    const struct {
        DWORD level;
        void* info;
    } settings[] = {
        {SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO, &required},
        {SERVICE_CONFIG_SERVICE_SID_INFO, &sid},
        {SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &delayed},
        {SERVICE_CONFIG_FAILURE_ACTIONS, &failure},
        {SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &failureFlag},
    };
    for (const auto& setting : settings) {
        if (ChangeServiceConfig2W(service, setting.level, setting.info)) {
            continue;
        }
        const DWORD error = GetLastError();
        // Every Windows since Vista knows them all; a system that does not know one (Wine
        // knows few) cannot act on it either, and the install goes on, saying so in its log.
        if (error != ERROR_INVALID_LEVEL) {
            return error;
        }
        std::fprintf(stderr, "velmora-service: this system does not know the setting %lu\n",
                     static_cast<unsigned long>(setting.level));
    }
    return 0;
}

// The event log's source "Velmora", its messages in this program.
DWORD RegisterEventSource() {
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        return ERROR_BAD_PATHNAME;
    }
    KeyHandle key;
    LSTATUS status =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.out(), nullptr);
    const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    if (status == ERROR_SUCCESS) {
        status =
            RegSetValueExW(key.get(), L"EventMessageFile", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(program), (length + 1) * sizeof(wchar_t));
    }
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key.get(), L"TypesSupported", 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&types), sizeof types);
    }
    return static_cast<DWORD>(status);
}

}  // namespace

int SetUpService(const std::string& servers, const std::string& interval) {
    try {
        MachineProfile machine;
        const ProfileFile::KeyValues given = InstallerSettings(servers, interval);
        if (!machine.Exists()) {
            machine.WriteStrings(kSettingsSection, FirstMachineSettings());
        }
        if (!given.empty()) {
            machine.WriteStrings(kSettingsSection, given);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmora-service: %s\n", error.what());
        return ERROR_INVALID_PARAMETER;
    }
    DWORD refused = RegisterEventSource();
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const ServiceHandle service(
        manager.Valid() ? OpenServiceW(manager.get(), kClockServiceName, SERVICE_CHANGE_CONFIG)
                        : nullptr);
    if (refused == 0) {
        refused = service.Valid() ? Configure(service.get()) : GetLastError();
    }
    if (refused != 0) {
        std::fprintf(stderr, "velmora-service: the service's set-up was refused (%lu)\n",
                     static_cast<unsigned long>(refused));
    }
    return static_cast<int>(refused);
}

}  // namespace velmora
