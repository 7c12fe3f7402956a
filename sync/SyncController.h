#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/DateTime.h"
#include "platform/AutostartStore.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramPath.h"
#include "platform/SystemClock.h"
#include "platform/TimeZoneSource.h"
#include "sync/KissOfDeath.h"
#include "sync/OptionsDialog.h"
#include "sync/Settings.h"
#include "sync/TimeView.h"
#include "sync/Timer.h"

namespace velmora {

class TSNTPSend;

// Makes one SNTP client for one get-time command.
using SntpClientFactory = std::function<std::unique_ptr<TSNTPSend>()>;
// The application's general error handler: shows the message to the user.
using ErrorReporter = std::function<void(const std::string&)>;

// What the operating system provides; the program entry makes the real ones.
struct PlatformServices {
    SystemClock& Clock;
    TimeZoneSource& Zone;
    ProfileFile& Profile;
    ProgramPath& Program;
    AutostartStore& Autostart;
    SntpClientFactory MakeSntpClient;
};

// Everything the controller works with; the main window owns all of it and outlives the
// controller.
struct SyncControllerServices {
    TimeView& View;
    Timer& UpdateTimer;
    Timer& Timer1;
    PlatformServices Platform;
    OptionsDialogFactory MakeOptionsDialog;
    ErrorReporter ReportError;
};

// What the server field shows after a get-time command that no server answered.
inline constexpr const char* kFailedToContact = "Failed to contact time server";
// Value name of the autorun entry.
inline constexpr const char* kAutorunValueName = "Velmora";
// Timer1 never runs more often than this, whatever the stored interval says.
inline constexpr std::int32_t kShortestSyncInterval = 60000;

// The logic behind the main window: asks the time servers, keeps the offset between server time
// and the computer clock, sets the clock, refreshes the two clock fields and runs the periodic
// synchronization. The settings fields it inherits carry their key names.
//
// The constructor connects UpdateTimer.OnTimer to UpdateTimerTimer and Timer1.OnTimer to
// Timer1Timer; it touches nothing else. Errors of the settings file and the autorun store leave
// the handlers as velmora::Error; a refused clock setting goes to ReportError instead, and the
// command completes: after a click always, during periodic and start-up synchronization only
// the first refusal since the last accepted setting or the last OK in the options.
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

    void CheckTimeServerButtonClick();
    void AdjustClockButtonClick();
    // t: the server's time in the local zone.
    void StoreServerTime(TDateTime t);
    void UpdateTimerTimer();
    void Timer1Timer();
    void Synchronizecomputerclock1Click();
    void Options1Click();
    // First activation of the application: starts the 500 ms display refresh.
    void StartDisplayRefresh();

    void UpdateZoneBias();

  private:
    // Whether a refused setting is shown every time (the user asked) or once until a setting
    // succeeds or the options are confirmed (periodic and start-up synchronization).
    enum class Refusal { TellAlways, TellOnce };

    TDateTime Now() const;
    void AdjustClock(Refusal refusal);
    // Sets the clock to the server's time, with the busy cursor on while the platform answers.
    ClockSetResult SetClockBusy(AskUser ask);
    // The server's time now in GMT: its last answer (or the last time set) carried forward by the
    // time that has passed since; the clock's own reading before any.
    TDateTime ServerUtcNow() const;
    // Timer1 from UpdateClock and UpdateClockInterval.
    void ApplyTimer1();
    // The options dialog from creation to release, without the refresh that follows it.
    void ShowOptions();
    // "Failed to contact time server", kept until the next answer.
    void ShowFailure();
    // Who asked for a synchronization: the user, or nobody (the period, or the start-up).
    enum class Unattended { No, Periodic, AtStart };
    // Get time, then adjust.
    void Synchronize(Unattended unattended);

    // The server's time is held against UTC and a steady clock, not against the local clock:
    // a step of the clock or a change of daylight saving time between the answer and the setting
    // does not move the time set. ClockOffset, kept as well, is what the display shows.
    struct HeldServerTime {
        TDateTime Utc = 0;
        double Steady = 0;  // SystemClock::SteadySeconds at Utc
    };

    SyncControllerServices services_;
    bool refusalTold_ = false;
    std::optional<HeldServerTime> heldServerTime_;
    KissOfDeathBook kissOfDeath_;
    bool periodicSync_ = false;
    // No server answered the last get-time command: the failure text stays in the server field
    // until the next answer, rather than the held offset painting a time over it.
    bool failureShown_ = false;
};

}  // namespace velmora
