#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "core/Error.h"
#include "core/Path.h"
#include "sync/Autorun.h"
#include "sync/IntervalRule.h"
#include "sync/MachineOptions.h"
#include "sync/SyncController.h"

namespace velmora {

namespace {

OptionsValues ShownOptions(const SyncController& c) {
    return OptionsValues{
        .MinimizeOnStart = c.GlobalMinimize,
        .Autorun = c.GlobalAutorun,
        .TryNextServer = c.GlobalNextSrvOnFail,
        .ServerList = c.GlobalTimeSrvList,
        .PeriodicSync = c.UpdateClock,
        .IntervalInHours = c.UpdateClockHour,
        // Whole units only: the remainder is lost, as the dialog can show no more.
        .IntervalText = IntervalText(c.UpdateClockInterval, c.UpdateClockHour),
        .DisplayLocalTime = c.DisplayLocalTime,
        .MachineOwnedReason = "",
    };
}

void TakeInterval(const OptionsValues& confirmed, SyncController& c) {
    // The dialog lets no other interval through; should one come, the old one stays rather than
    // a different period being stored.
    if (std::optional<std::int32_t> ms =
            IntervalMilliseconds(confirmed.IntervalText, confirmed.IntervalInHours)) {
        c.UpdateClockInterval = *ms;
        c.UpdateClockHour = confirmed.IntervalInHours;
    }
}

void TakeOptions(const OptionsValues& confirmed, SyncController& c) {
    c.GlobalMinimize = confirmed.MinimizeOnStart;
    c.GlobalAutorun = confirmed.Autorun;
    c.GlobalNextSrvOnFail = confirmed.TryNextServer;
    c.GlobalTimeSrvList = confirmed.ServerList;
    SplitList(c.GlobalTimeSrvList, '|', c.ServerList);
    c.DisplayLocalTime = confirmed.DisplayLocalTime;
    c.UpdateClock = confirmed.PeriodicSync;
    if (c.UpdateClock) {
        TakeInterval(confirmed, c);
    }
}

// Runs `action`; what it throws comes back instead.
std::exception_ptr Attempted(const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

std::string AutorunCommand(const ProgramPath& program) {
    const std::string path = program.ExecutablePath();
    // The folder and the name joined again by the separator that stood between them, which on
    // Windows may be either.
    const std::string name = FileNameOf(path);
    const char separator =
        name.size() < path.size() ? path[path.size() - name.size() - 1] : kPathSeparator;
    return ProgramDirectory(path) + separator + name;
}

// Writes what `confirmed` changes of the machine's settings: whether anything changed. Throws
// velmora::Error, before anything else is taken, when they could not be written.
bool WriteMachineChanges(MachineOptionsStore& store, const TSettings& machine,
                         const OptionsValues& confirmed) {
    const ProfileFile::KeyValues changes = MachineChanges(machine, confirmed);
    if (changes.empty()) {
        return false;
    }
    const std::string refused = store.Write(changes);
    if (!refused.empty()) {
        throw Error("The computer's settings could not be changed (" + refused +
                    "); the options were left as they were.");
    }
    return true;
}

}  // namespace

void SyncController::ShowOptions() {
    MachineOptionsStore* store = services_.Platform.Machine;
    const std::optional<TSettings> machine = ReadMachineOptions(store);
    const bool mayChangeMachine = machine && store->MayChange();
    OptionsValues shown = ShownOptions(*this);
    if (machine) {
        ShowMachineOptions(*machine, mayChangeMachine, shown);
    }
    const std::optional<OptionsValues> confirmed = services_.MakeOptionsDialog()->Edit(shown);
    if (!confirmed) {
        return;
    }
    ClockService* service = services_.Platform.Service;
    if (mayChangeMachine && WriteMachineChanges(*store, *machine, *confirmed) && service) {
        // The service takes a new period from the first request after it.
        services_.Work.Run(
            [service](const Worker::Post&) {
                service->Exchange(RequestText(ServiceRequest::TellState));
            },
            [] {});
    }
    TakeOptions(*confirmed, *this);
    // Confirmed options: the next unattended refusal or guarded step is worth telling again.
    told_.Renew();
    ApplyTimer1();
    // Confirmed settings are written at once, so that no way of ending loses them. A file that
    // cannot be written still leaves the autorun entry to follow the box; its error comes after.
    const std::exception_ptr unsaved = Attempted([this] { SaveSettingsNow(); });
    // The box shows the settings file, which need not agree with the store (an administrator's
    // entry starts the program for users whose box is clear): a box left as shown changes
    // nothing, and a changed one only what the store does not already say.
    if (confirmed->Autorun != shown.Autorun) {
        UpdateAutorun(services_.Platform.Autostart, kAutorunValueName,
                      AutorunCommand(services_.Platform.Program), confirmed->Autorun);
    }
    if (unsaved) {
        std::rethrow_exception(unsaved);
    }
}

void SyncController::Options1Click() {
    try {
        ShowOptions();
    } catch (...) {
        UpdateTimerTimer();
        throw;
    }
    UpdateTimerTimer();
}

}  // namespace velmora
