#include "app/win32/Entry.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/Path.h"
#include "net/SNTPsend.h"
#include "platform/windows/ClockCalls.h"
#include "platform/windows/ElevatedClock.h"
#include "platform/windows/ElevatedLauncher.h"
#include "platform/windows/MachineProfile.h"
#include "platform/windows/MachineSettingsCommand.h"
#include "platform/windows/OneCopy.h"
#include "platform/windows/PipeClockService.h"
#include "platform/windows/Registry.h"
#include "platform/windows/RegistryAutostartStore.h"
#include "platform/windows/TimeServiceCalls.h"
#include "platform/windows/WindowsClockChangeWatch.h"
#include "platform/windows/WindowsHistoryFile.h"
#include "platform/windows/WindowsMachineOptions.h"
#include "platform/windows/WindowsPath.h"
#include "platform/windows/WindowsProfileFile.h"
#include "platform/windows/WindowsProgramPath.h"
#include "platform/windows/WindowsSettingsLocation.h"
#include "platform/windows/WindowsSystemClock.h"
#include "platform/windows/WindowsTimeZone.h"
#include "sync/MachineOptions.h"
#include "sync/Settings.h"
#include "ui/win32/Application.h"
#include "ui/win32/MainHour.h"

namespace velmora {

namespace {

// The program with the services made; the settings saved on the way out.
int RunFirstCopy(WindowsOneCopy& copy, int showCommand,
                 const std::function<void(TTimeForm&)>& extra) {
    WindowsClockCalls calls;
    ScmTimeService service;
    WindowsProgramPath program;
    const std::string executable = program.ExecutablePath();
    ShellRunAs launcher(executable);
    WindowsSystemClock clock(calls, service, launcher);
    WindowsTimeZone zone;
    const SettingsLocation settings =
        LocateSettingsFile(JoinWindowsPath(ProgramDirectory(executable), kSettingsFileName),
                           AppDataSettingsFile(UserAppDataDirectory()));
    WindowsProfileFile profile(settings.file, settings.defaults);
    WindowsRegistry registry;
    RegistryAutostartStore autostart(registry);
    WindowsHistoryFile history(UserHistoryFile());
    WindowsClockChangeWatch clockWatch(calls);
    PipeClockService clockService;
    WindowsMachineOptions machine(launcher);
    auto form = std::make_unique<TTimeForm>(
        PlatformServices{clock, zone, profile, program, autostart, history, clockWatch,
                         [] { return std::make_unique<TSNTPSend>(); }, &clockService, &machine});
    launcher.SetOwner(form->Handle());
    copy.Answer([&form] { form->Rules().BringToFront(); });
    if (extra) {
        extra(*form);
    }
    form->ShowAtStart(showCommand);
    TApplication::Run();
    ShowWindow(form->Handle(), SW_HIDE);
    form->Rules().FormDestroy();
    const bool workRunning = form->WorkRunning();
    copy.StopAnswering();
    // The icon leaves the tray with the window.
    form.reset();
    if (workRunning) {
        // A query or an elevated copy is still under way and may take seconds more: it is
        // dropped with the process, which ends now, the settings saved, before the services it
        // uses go.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}

}  // namespace

int RunVelmora(const std::vector<std::string>& args, int showCommand,
               const std::function<void(TTimeForm&)>& extra) {
    if (const std::optional<int> code = RunPrivateCommand(args)) {
        return *code;
    }
    MachineProfile machine;
    if (const std::optional<int> code =
            RunMachineSettingsCommand(args, machine, CheckedMachineValues)) {
        return *code;
    }
    // The lock goes once the settings are written, so that a start meanwhile reads them.
    WindowsOneCopy copy;
    if (copy.HandedOver()) {
        return 0;
    }
    return RunFirstCopy(copy, showCommand, extra);
}

}  // namespace velmora
