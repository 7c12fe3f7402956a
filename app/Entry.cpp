#include "app/Entry.h"

#include <QSessionManager>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/SaveAtExit.h"
#include "app/SignalPipe.h"
#include "net/SNTPsend.h"
#include "platform/linux/HistoryFile.h"
#include "platform/linux/IniProfileFile.h"
#include "platform/linux/LinuxClockChangeWatch.h"
#include "platform/linux/LinuxProgramPath.h"
#include "platform/linux/LinuxSystemClock.h"
#include "platform/linux/LinuxTimeZone.h"
#include "platform/linux/RuntimeFolder.h"
#include "platform/linux/SessionAutostartStore.h"
#include "platform/linux/SettingsLocation.h"
#include "sync/Settings.h"
#include "ui/qt/Application.h"
#include "ui/qt/ClockSetNotifier.h"
#include "ui/qt/MainHour.h"
#include "ui/qt/RunningCopy.h"

namespace velmora {

namespace {

// Where the running copy is found: a folder no other user can reach.
QString RunningCopyFolder() {
    const std::string folder = PrivateRuntimeFolder(UserRuntimeFallback());
    if (folder.empty()) {
        std::fprintf(stderr, "velmora: no private folder for the running copy; starting anyway\n");
    }
    return QString::fromStdString(folder);
}

}  // namespace

int RunVelmora(int argc, char** argv, const std::function<void(TTimeForm&)>& extra) {
    std::setlocale(LC_ALL, "");
    TApplication app(argc, argv);
    // The window hides into the tray and message boxes come and go; only the program's own exit
    // paths end it.
    app.setQuitOnLastWindowClosed(false);
    RunningCopy runningCopy(RunningCopyFolder());
    if (runningCopy.HandedOver()) {
        return 0;
    }

    LinuxSystemClock clock;
    LinuxTimeZone zone;
    LinuxProgramPath program;
    const SettingsLocation settings =
        LocateSettingsFile(ProgramDirectory(program.ExecutablePath()) + "/" + kSettingsFileName,
                           PerUserSettingsFile(UserConfigDirectory()));
    IniProfileFile profile(settings.file, settings.defaults);
    SessionAutostartStore autostart(XdgAutostartFolder::kSystemDirectory, UserAutostartDirectory());
    HistoryFile history(UserHistoryFile());
    LinuxClockChangeWatch clockWatch;
    TTimeForm form({clock, zone, profile, program, autostart, history, clockWatch,
                    [] { return std::make_unique<TSNTPSend>(); }});
    ClockSetNotifier clockSet(clockWatch.Descriptor(),
                              [&clockWatch] { return clockWatch.TakeSetting(); });
    QObject::connect(&clockSet, &ClockSetNotifier::ClockWasSet, &form,
                     [&form] { form.ClockWasSet(); });

    QObject::connect(&runningCopy, &RunningCopy::ShowRequested, &form,
                     [&form] { form.BringToFront(); });
    SaveAtExit saveAtExit([&form] { form.FormDestroyAtExit(); });
    SignalPipe quitOnSignal({SIGTERM, SIGINT, SIGHUP}, [] { QCoreApplication::quit(); });
    // The session manager may end the process without another event once it has our data.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.CommitData(); });
    if (extra) {
        extra(form);
    }

    form.ShowAtStart();
    app.exec();
    form.hide();
    // A failed save shows its message here (when the user ended the program) and the program
    // still ends normally.
    form.FormDestroy();
    if (form.WorkRunning()) {
        // A query or a wait for timedated is still under way and may take seconds more: it is
        // dropped with the process, which ends now, the settings saved.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}

}  // namespace velmora
