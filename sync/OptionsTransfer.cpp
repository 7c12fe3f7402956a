#include <cstdint>
#include <optional>
#include <string>

#include "core/Path.h"
#include "sync/Autorun.h"
#include "sync/IntervalRule.h"
#include "sync/SyncController.h"

namespace velmora {

namespace {

constexpr int kHoursItem = 0;
constexpr int kMinutesItem = 1;

void FillDialog(const SyncController& c, OptionsDialog& dialog) {
    dialog.LoadOptions(c.GlobalMinimize, c.GlobalAutorun, c.GlobalNextSrvOnFail,
                       c.GlobalTimeSrvList);
    dialog.SetCheckBox1Checked(c.UpdateClock);
    dialog.SetComboBox1ItemIndex(c.UpdateClockHour ? kHoursItem : kMinutesItem);
    // Whole units only: the remainder is lost, as the dialog can show no more.
    dialog.SetEdit1Text(IntervalText(c.UpdateClockInterval, c.UpdateClockHour));
    dialog.SetRadioButton1Checked(!c.DisplayLocalTime);
    dialog.SetRadioButton2Checked(c.DisplayLocalTime);
}

void TakeInterval(const OptionsDialog& dialog, SyncController& c) {
    const bool hours = dialog.ComboBox1ItemIndex() == kHoursItem;
    // The dialog lets no other interval through; should one come, the old one stays rather than
    // a different period being stored.
    if (std::optional<std::int32_t> ms = IntervalMilliseconds(dialog.Edit1Text(), hours)) {
        c.UpdateClockInterval = *ms;
        c.UpdateClockHour = hours;
    }
}

void TakeFromDialog(const OptionsDialog& dialog, SyncController& c) {
    dialog.ReadOptions(c.GlobalMinimize, c.GlobalAutorun, c.GlobalNextSrvOnFail,
                       c.GlobalTimeSrvList);
    SplitList(c.GlobalTimeSrvList, '|', c.ServerList);
    c.DisplayLocalTime = !dialog.RadioButton1Checked();
    c.UpdateClock = dialog.CheckBox1Checked();
    if (c.UpdateClock) {
        TakeInterval(dialog, c);
    }
}

std::string AutorunCommand(const ProgramPath& program) {
    const std::string path = program.ExecutablePath();
    return ProgramDirectory(path) + kPathSeparator + FileNameOf(path);
}

}  // namespace

void SyncController::ShowOptions() {
    std::unique_ptr<OptionsDialog> dialog = services_.MakeOptionsDialog();
    FillDialog(*this, *dialog);
    const bool autorunShown = GlobalAutorun;
    dialog->ShowModal();
    if (!dialog->WasAccepted()) {
        return;
    }
    TakeFromDialog(*dialog, *this);
    // Confirmed options: the next unattended refusal or guarded step is worth telling again.
    refusalTold_ = false;
    guardTold_ = false;
    ApplyTimer1();
    // The box shows the settings file, which need not agree with the store (an administrator's
    // entry starts the program for users whose box is clear): a box left as shown changes
    // nothing, and a changed one only what the store does not already say.
    if (dialog->AutorunBoxChecked() != autorunShown) {
        UpdateAutorun(services_.Platform.Autostart, kAutorunValueName,
                      AutorunCommand(services_.Platform.Program), dialog->AutorunBoxChecked());
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
