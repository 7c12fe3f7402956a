#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/DateTime.h"
#include "platform/AutostartStore.h"
#include "platform/ClockChangeWatch.h"
#include "platform/ClockService.h"
#include "platform/HistoryStore.h"
#include "platform/MachineOptionsStore.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramPath.h"
#include "platform/SystemClock.h"
#include "platform/TimeZoneSource.h"
#include "sync/ClockStep.h"
#include "sync/CommandQueue.h"
#include "sync/HeldTime.h"
#include "sync/IntervalRule.h"
#include "sync/KissOfDeath.h"
#include "sync/MachineOptions.h"
#include "sync/OptionsDialog.h"
#include "sync/RunningCommand.h"
#include "sync/ServiceSynchronization.h"
#include "sync/Settings.h"
#include "sync/SettingsSnapshot.h"
#include "sync/StepPolicy.h"
#include "sync/SyncStatus.h"
#include "sync/TimeQuery.h"
#include "sync/TimeView.h"
#include "sync/Timer.h"
#include "sync/Worker.h"

namespace velmora {

// The application's general error handler: shows the message to the user.
using ErrorReporter = std::function<void(const std::string&)>;
// Asks the user a question with the answers Yes and No; true for Yes.
using YesNoQuestion = std::function<bool(const std::string&)>;

// What the operating system provides; the program entry makes the real ones.
struct PlatformServices {
    SystemClock& Clock;
    TimeZoneSource& Zone;
    ProfileFile& Profile;
    ProgramPath& Program;
    AutostartStore& Autostart;
    HistoryStore& History;
    ClockChangeWatch& ClockWatch;
    SntpClientFactory MakeSntpClient;
    // The machine's clock service, where the platform has one; else null.
    ClockService* Service;
    // Where the machine keeps the settings its clock service reads, where the platform has such
    // a service; else null.
    MachineOptionsStore* Machine = nullptr;
};

// `services` with the history records going to `history` instead (the front end's feed, which
// passes them on); the client factory is moved out of `services`.
PlatformServices WithHistory(PlatformServices& services, HistoryStore& history);

// Everything the controller works with; the main window owns all of it and outlives the
// controller.
struct SyncControllerServices {
    TimeView& View;
    Timer& UpdateTimer;
    Timer& Timer1;
    PlatformServices Platform;
    OptionsDialogFactory MakeOptionsDialog;
    ErrorReporter ReportError;
    // Runs the queries and the clock settings away from the window's thread.
    Worker& Work;
    YesNoQuestion AskYesNo;
};

// Value name of the autorun entry.
inline constexpr const char* kAutorunValueName = "Velmora";

// The logic behind the main window: asks the time servers, keeps the offset between server time
// and the computer clock, sets the clock, refreshes the two clock fields and runs the periodic
// synchronization. The settings fields it inherits carry their key names.
//
// The constructor connects UpdateTimer.OnTimer to UpdateTimerTimer and Timer1.OnTimer to
// Timer1Timer; it touches nothing else. Errors of the settings file and the autorun store leave
// the handlers as velmora::Error; a refused clock setting goes to ReportError instead, and the
// command completes: after a click always, during periodic and start-up synchronization only
// the first refusal since the last accepted setting or the last OK in the options.
//
// The commands (get time, adjust, the tray's synchronize, the period, the start-up) run one at a
// time as CommandQueue says; their queries and clock settings run on the Worker, and the handlers
// return at once. The busy cursor is on while a command runs. Where the platform has a clock
// service, the commands that set the clock ask it first (sync/ServiceSynchronization says when
// its answer settles them) and show what it answered.
class SyncController : public TSettings {
  public:
    explicit SyncController(SyncControllerServices services);
    ~SyncController();
    SyncController(const SyncController&) = delete;
    SyncController& operator=(const SyncController&) = delete;

    bool ServerTimeKnown = false;
    TDateTime ClockOffset = 0;  // server time in the local zone minus the local clock, in days
    double ZoneBias = 0;        // local + ZoneBias = GMT, in days
    std::vector<std::string> ServerList;

    // Start-up of the main window: settings, timers, first display, the autorun synchronization.
    void FormCreate();
    // Shut-down: saves the settings (may throw "Unable to write to ..."), then empties ServerList.
    void FormDestroy();
    // Writes the settings now, as FormDestroy does (may throw "Unable to write to ...").
    void SaveSettingsNow();
    // Writes the settings as they were last loaded, confirmed in the options or saved (may throw
    // "Unable to write to ..."); nothing before they are loaded. Safe on any thread while the
    // window's thread runs: it reads nothing else of the controller.
    void SaveKeptSettings();

    void CheckTimeServerButtonClick();
    void AdjustClockButtonClick();
    // Whether a command runs (or waits for the user's answer).
    bool CommandRunning() const { return commands_.Running(); }
    // t: the server's time in the local zone.
    void StoreServerTime(TDateTime t);
    void UpdateTimerTimer();
    void Timer1Timer();
    void Synchronizecomputerclock1Click();
    void Options1Click();
    // First activation of the application: starts the 500 ms display refresh.
    void StartDisplayRefresh();
    // The system clock has been set, by this program or another (the front end learned of it).
    // A setting by another program goes into the history as a step of its size.
    void ClockWasSet();

    void UpdateZoneBias();

  private:
    // What comes after a step of a command; runs on the window's thread.
    using Then = std::function<void()>;

    TDateTime Now() const;
    // Timer1 from UpdateClock and UpdateClockInterval.
    void ApplyTimer1();
    // The options dialog from creation to release, without the refresh that follows it.
    void ShowOptions();
    // Writes the machine's `changes` on the worker (the approval prompt may stay open for long),
    // then the rest of the OK; a refused write takes nothing and says so.
    void WriteMachineChanges(MachineOptionsStore& store, const ProfileFile::KeyValues& changes,
                             const OptionsValues& shown, const OptionsValues& confirmed);
    // Asks the clock service for its state, so that it reads the machine's settings again.
    void TellServiceOfSettings();
    // `step`, then the clock fields refreshed, also when it throws.
    void RefreshAfter(const std::function<void()>& step);
    // The rest of an OK: the options taken, the timer, the save, the autorun entry.
    void TakeConfirmed(const OptionsValues& shown, const OptionsValues& confirmed,
                       bool machineShown);
    // The machine's server list and period over the user's own, where it keeps settings, and
    // ServerList from the list held; why not, when they cannot be read, goes to ReportError.
    void HoldMachineSettings();
    // "Failed to contact time server", kept until the next answer.
    void ShowFailure();

    void StartCommand(Command command);
    // Ends command `number` (the count of commands started when it began), once.
    void FinishCommand(std::uint64_t number);
    // `step` with its command finished should it throw, so that the next one can run.
    Then Guarded(Then step);
    // The same for command `number`; reads nothing of the controller until it runs.
    Then GuardedFor(std::uint64_t number, Then step);
    // Asks the clock service to synchronize on the worker, then shows what it answered; `ourselves`
    // instead when there is no service or its answer does not settle the command.
    void ServiceFirst(bool unattended, Then ourselves, Then then);
    void TakeServiceReport(const ServiceReport& report, bool unattended);
    // A refused setting, told as `refusal` says.
    void TellRefusal(Refusal refusal, const std::string& reason);
    // A box for the user, where the front end shows them.
    void Report(const std::string& text);
    // Asks the servers on the worker, then shows what came back; failures show as they come.
    void Query(bool periodic, Then then);
    void TakeFailure(const QueryAttempt& attempt);
    void TakeQuery(const QueryOutcome& outcome);
    // Adjust: a query first when none has been made, then the setting.
    void Adjust(Refusal refusal, bool unattended, Then then);
    void SetClock(Refusal refusal, bool unattended, Then then);
    // The offset to step the clock by now (sync/StepPolicy), or nothing when it is left alone
    // (the status says why).
    std::optional<double> StepToMake();
    void LeaveClockAlone(const StepChoice& choice);
    // Steps the clock on the worker, then `then`; `serviceOn` instead when an NTP service keeps
    // the clock and nothing was set (never when `stopService`).
    void StepOnWorker(Refusal refusal, bool stopService, Then then, Then serviceOn);
    // The answer to a setting, as the user is to hear it.
    void TakeSetting(Refusal refusal, const StepOutcome& outcome);
    // How far the clock has been set since last asked, less our own step of `ownSeconds`: what
    // is left beyond a millisecond was another program's doing and goes into the history.
    void TakeClockChange(double ownSeconds);
    // Asks the user Yes or No in the middle of a command.
    bool Ask(const std::string& question);
    // An NTP service keeps the clock: a click asks whether to turn it off.
    void TimeServiceOn(Refusal refusal, bool unattended, Then then);
    // Whether a step of `offsetSeconds` may go ahead (sync/StepPolicy), asking the user if need be.
    bool StepAllowed(double offsetSeconds, bool unattended);
    // The status lines to the view.
    void ShowStatus();
    // A query got no time: after a few unattended ones in a row the user hears of it, once.
    void CountFailure(bool unattended);

    SyncControllerServices services_;
    // What SaveKeptSettings writes.
    SettingsSnapshot kept_;
    MachineHeldSettings held_;
    // An OK waits for the machine's settings to be written: no second dialog meanwhile. Should
    // the program end first, that OK is dropped, as a cancelled one.
    bool optionsPending_ = false;
    CommandQueue commands_;
    RunningCommand command_;
    ToldOnce told_;
    // The server's time as last answered; what adjust sets the clock to. ClockOffset, kept as
    // well, is what the display shows.
    std::optional<HeldTime> heldServerTime_;
    // The held server time came authenticated (NTS).
    bool heldAuthenticated_ = false;
    KissOfDeathBook kissOfDeath_;
    SyncStatus status_;
    // The clock service's status as last reported, and the lines its last report adds to ours
    // (until the next command).
    SyncStatus serviceSeen_;
    ServiceHistory serviceHistory_;
    std::vector<std::string> serviceLines_;
    // No server answered the last get-time command: the failure text stays in the server field
    // until the next answer, rather than the held offset painting a time over it.
    bool failureShown_ = false;
    // A step of ours is under way on the worker: the setting it makes is measured when it ends.
    bool stepping_ = false;
};

}  // namespace velmora
