#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
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

OptionsValues ShownOptions(const TSettings& c) {
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

void TakeInterval(const OptionsValues& confirmed, TSettings& c) {
    // The dialog lets no other interval through; should one come, the old one stays rather than
    // a different period being stored.
    if (std::optional<std::int32_t> ms =
            IntervalMilliseconds(confirmed.IntervalText, confirmed.IntervalInHours)) {
        c.UpdateClockInterval = *ms;
        c.UpdateClockHour = confirmed.IntervalInHours;
    }
}

// The user's own settings as confirmed; the server list and the period only when the dialog
// showed the user's, not the machine's.
void TakeOptions(const OptionsValues& confirmed, bool machineShown, TSettings& c) {
    c.GlobalMinimize = confirmed.MinimizeOnStart;
    c.GlobalAutorun = confirmed.Autorun;
    c.GlobalNextSrvOnFail = confirmed.TryNextServer;
    c.DisplayLocalTime = confirmed.DisplayLocalTime;
    if (machineShown) {
        return;
    }
    c.GlobalTimeSrvList = confirmed.ServerList;
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

}  // namespace

void SyncController::ShowOptions() {
    // A second dialog would show the machine's settings from before the write under way.
    if (optionsPending_) {
        return;
    }
    MachineOptionsStore* store = services_.Platform.Machine;
    const std::optional<TSettings> machine = ReadMachineOptions(store);
    const bool mayChangeMachine = machine && store->MayChange();
    OptionsValues shown = ShownOptions(held_.UsersOwn(*this));
    if (machine) {
        ShowMachineOptions(*machine, mayChangeMachine, shown);
    }
    const std::optional<OptionsValues> confirmed = services_.MakeOptionsDialog()->Edit(shown);
    if (!confirmed) {
        return;
    }
    const ProfileFile::KeyValues changes =
        mayChangeMachine ? MachineChanges(*machine, *confirmed) : ProfileFile::KeyValues{};
    if (changes.empty()) {
        TakeConfirmed(shown, *confirmed, machine.has_value());
        return;
    }
    WriteMachineChanges(*store, changes, shown, *confirmed);
}

void SyncController::WriteMachineChanges(MachineOptionsStore& store,
                                         const ProfileFile::KeyValues& changes,
                                         const OptionsValues& shown,
                                         const OptionsValues& confirmed) {
    // The approval prompt may stay open for long: the window goes on meanwhile, and nothing of
    // the OK is taken before the machine's settings are written.
    optionsPending_ = true;
    auto refused = std::make_shared<std::string>();
    services_.Work.Run(
        [&store, changes, refused](const Worker::Post&) { *refused = store.Write(changes); },
        [this, refused, shown, confirmed] {
            optionsPending_ = false;
            RefreshAfter([&] {
                if (!refused->empty()) {
                    throw Error("The computer's settings could not be changed (" + *refused +
                                "); the options were left as they were.");
                }
                TellServiceOfSettings();
                TakeConfirmed(shown, confirmed, true);
            });
        });
}

void SyncController::TellServiceOfSettings() {
    ClockService* service = services_.Platform.Service;
    if (!service) {
        return;
    }
    // The service takes a new period from the first request after it.
    services_.Work.Run(
        [service](const Worker::Post&) {
            service->Exchange(RequestText(ServiceRequest::TellState));
        },
        [] {});
}

void SyncController::TakeConfirmed(const OptionsValues& shown, const OptionsValues& confirmed,
                                   bool machineShown) {
    TSettings own = held_.UsersOwn(*this);
    TakeOptions(confirmed, machineShown, own);
    static_cast<TSettings&>(*this) = own;
    // The machine's values as they are now, a change just written included.
    HoldMachineSettings();
    // Confirmed options: the next unattended refusal or guarded step is worth telling again.
    told_.Renew();
    ApplyTimer1();
    // Confirmed settings are written at once, so that no way of ending loses them. A file that
    // cannot be written still leaves the autorun entry to follow the box; its error comes after.
    const std::exception_ptr unsaved = Attempted([this] { SaveSettingsNow(); });
    // The box shows the settings file, which need not agree with the store (an administrator's
    // entry starts the program for users whose box is clear): a box left as shown changes
    // nothing, and a changed one only what the store does not already say.
    if (confirmed.Autorun != shown.Autorun) {
        UpdateAutorun(services_.Platform.Autostart, kAutorunValueName,
                      AutorunCommand(services_.Platform.Program), confirmed.Autorun);
    }
    if (unsaved) {
        std::rethrow_exception(unsaved);
    }
}

void SyncController::Options1Click() {
    RefreshAfter([this] { ShowOptions(); });
}

void SyncController::RefreshAfter(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        UpdateTimerTimer();
        throw;
    }
    UpdateTimerTimer();
}

}  // namespace velmora
