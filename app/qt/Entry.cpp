#include "app/qt/Entry.h"

#include <QSessionManager>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/qt/SaveAtExit.h"
#include "app/qt/SignalPipe.h"
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

// A signal ends the program at once, whatever loop runs: the window's, or a box's within it
// (they all end, and the settings are saved on the way out). After the window's loop, a box can
// only be that of the last save's failure: nobody may be there to read it, so its message goes
// to standard error.
void EndOnSignal(bool loopEnded) {
    const std::string unread = TApplication::ErrorMessage();
    if (loopEnded && !unread.empty()) {
        std::fprintf(stderr, "velmora: %s\n", unread.c_str());
    }
    QCoreApplication::exit(0);
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
                    [] { return std::make_unique<TSNTPSend>(); }, nullptr});
    ClockSetNotifier clockSet(clockWatch.Descriptor(),
                              [&clockWatch] { return clockWatch.TakeSetting(); });
    QObject::connect(&clockSet, &ClockSetNotifier::ClockWasSet, &form,
                     [&form] { form.Rules().ClockWasSet(); });

    QObject::connect(&runningCopy, &RunningCopy::ShowRequested, &form,
                     [&form] { form.Rules().BringToFront(); });
    SaveAtExit saveAtExit([&form] { form.Rules().FormDestroyAtExit(); });
    bool loopEnded = false;
    SignalPipe endOnSignal({SIGTERM, SIGINT, SIGHUP}, [&loopEnded] { EndOnSignal(loopEnded); });
    // The session manager may end the process without another event once it has our data.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.Rules().CommitData(); });
    if (extra) {
        extra(form);
    }

    form.ShowAtStart();
    app.exec();
    loopEnded = true;
    form.hide();
    // The lock goes once the settings are written, so that a start meanwhile reads them. A failed
    // save then shows its message (when the user ended the program), and the program still ends
    // normally.
    form.Rules().FormDestroy([&runningCopy] { runningCopy.Stop(); });
    if (form.WorkRunning()) {
        // A query or a wait for timedated is still under way and may take seconds more: it is
        // dropped with the process, which ends now, the settings saved.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}

}  // namespace velmora
