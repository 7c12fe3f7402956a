#include "service/windows/ServiceRun.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "net/SNTPsend.h"
#include "platform/windows/ClockCalls.h"
#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/ElevatedLauncher.h"
#include "platform/windows/MachineProfile.h"
#include "platform/windows/TimeServiceCalls.h"
#include "platform/windows/WindowsSystemClock.h"
#include "service/ClockKeeper.h"
#include "service/MachineSettings.h"
#include "service/RequestDesk.h"
#include "service/windows/PipeServer.h"
#include "service/windows/WindowsEventSink.h"
#include "sync/IntervalRule.h"

namespace velmora {
namespace {

// A service has nobody to ask: no prompt is ever shown from it.
class NobodyToAsk : public ElevatedLauncher {
  public:
    LaunchOutcome RunElevated(const std::string&) override { return {ERROR_NOT_SUPPORTED, 0}; }
};

constexpr DWORD kStartWaitHintMs = 5000;

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopEvent = nullptr;
// Set while the servers are being asked, which no stop can interrupt (up to five seconds a
// server, a lookup besides).
std::atomic<bool> synchronizing{false};

class Synchronizing {
  public:
    Synchronizing() { synchronizing = true; }
    ~Synchronizing() { synchronizing = false; }
    Synchronizing(const Synchronizing&) = delete;
    Synchronizing& operator=(const Synchronizing&) = delete;
};

void Report(DWORD state, DWORD exitCode = NO_ERROR) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode == NO_ERROR ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
    status.dwServiceSpecificExitCode = exitCode;
    status.dwWaitHint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : kStartWaitHintMs;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
    if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
        Report(SERVICE_STOP_PENDING);
        SetEvent(stopEvent);
        // A stop does not wait for the servers: an uninstall or upgrade that found the program
        // still running would leave velmora-service.exe behind. Everything the service holds is
        // in memory and each step and record is made by one call, so nothing is left half done.
        if (synchronizing) {
            Report(SERVICE_STOPPED);
            ExitProcess(NO_ERROR);
        }
    }
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
    statusHandle = RegisterServiceCtrlHandlerExW(kClockServiceName, Control, nullptr);
    if (statusHandle == nullptr) {
        return;
    }
    Report(SERVICE_START_PENDING);
    const DWORD exitCode = ServeClock(stopEvent);
    Report(SERVICE_STOPPED, exitCode);
}

// The period the settings ask for, in milliseconds; 0 for none.
std::int32_t PeriodOf(const std::optional<TSettings>& settings) {
    return settings && settings->UpdateClock ? SyncPeriodMilliseconds(settings->UpdateClockInterval)
                                             : 0;
}

// The next period's end on GetTickCount64, or 0 when the settings ask for none.
ULONGLONG NextPeriod(const std::optional<TSettings>& settings) {
    const std::int32_t period = PeriodOf(settings);
    return period > 0 ? GetTickCount64() + static_cast<ULONGLONG>(period) : 0;
}

}  // namespace

DWORD ServeClock(HANDLE stop) {
    WindowsEventSink events;
    try {
        WindowsClockCalls calls;
        ScmTimeService windowsTime;
        NobodyToAsk nobody;
        WindowsSystemClock clock(calls, windowsTime, nobody);
        const MachineProfile machine;
        ClockKeeper keeper({clock, [] { return std::make_unique<TSNTPSend>(); },
                            [&] { return ReadMachineSettings(machine, events); }, events});
        RequestDesk desk(keeper, clock);
        PipeServer pipe(kClockServicePipe, stop);
        Report(SERVICE_RUNNING);
        std::optional<TSettings> settings = keeper.Settings();
        if (settings && settings->GlobalAutorun) {
            const Synchronizing busy;
            keeper.Synchronize(false);
        }
        ULONGLONG nextRound = NextPeriod(settings);
        const MessageHandler answer = [&](std::string_view message, bool oversized) {
            const Synchronizing busy;
            std::string reply = desk.Answer(message, oversized);
            // An administrator's new period counts from the first request after it (the program
            // asks for the state once it has written it), not from the end of the old one.
            std::optional<TSettings> now = keeper.Settings();
            if (PeriodOf(now) != PeriodOf(settings)) {
                settings = std::move(now);
                nextRound = NextPeriod(settings);
            }
            return reply;
        };
        while (!pipe.ServeUntil(nextRound, answer)) {
            const Synchronizing busy;
            keeper.Synchronize(true);
            settings = keeper.Settings();
            nextRound = NextPeriod(settings);
        }
        return NO_ERROR;
    } catch (const std::exception& error) {
        events.Record(EventSink::Level::Error,
                      std::string("The Velmora Time service stopped: ") + error.what());
        return ERROR_SERVICE_SPECIFIC_ERROR;
    }
}

int RunService() {
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t name[] = L"Velmora";
    const SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherW(table)) {
        std::fprintf(stderr,
                     "velmora-service.exe is the Velmora Time service; the service manager starts "
                     "it (sc start Velmora)\n");
        return 1;
    }
    return 0;
}

}  // namespace velmora
