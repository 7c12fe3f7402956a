#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "sync/Autorun.h"
#include "sync/SyncController.h"

namespace velmora {

namespace {

constexpr std::int64_t kMsPerHour = 60 * 60 * 1000;
constexpr std::int64_t kMsPerMinute = 60 * 1000;
constexpr int kHoursItem = 0;
constexpr int kMinutesItem = 1;

std::int64_t UnitMilliseconds(bool hours) {
    return hours ? kMsPerHour : kMsPerMinute;
}

std::optional<std::int64_t> ParseInteger(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') {
        ++begin;
    }
    std::int64_t value = 0;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// The interval the dialog asks for, in milliseconds; nothing when it does not fit the signed
// 32-bit count the settings keep.
std::optional<std::int32_t> IntervalMilliseconds(const std::string& text, bool hours) {
    std::optional<std::int64_t> n = ParseInteger(text);
    const std::int64_t unit = UnitMilliseconds(hours);
    if (!n || *n > std::numeric_limits<std::int32_t>::max() / unit ||
        *n < std::numeric_limits<std::int32_t>::min() / unit) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*n * unit);
}

void FillDialog(const SyncController& c, OptionsDialog& dialog) {
    dialog.LoadOptions(c.GlobalMinimize, c.GlobalAutorun, c.GlobalNextSrvOnFail,
                       c.GlobalTimeSrvList);
    dialog.SetCheckBox1Checked(c.UpdateClock);
    dialog.SetComboBox1ItemIndex(c.UpdateClockHour ? kHoursItem : kMinutesItem);
    // Whole units only: the remainder is lost, as the dialog can show no more.
    dialog.SetEdit1Text(
        std::to_string(c.UpdateClockInterval / UnitMilliseconds(c.UpdateClockHour)));
    dialog.SetRadioButton1Checked(!c.DisplayLocalTime);
    dialog.SetRadioButton2Checked(c.DisplayLocalTime);
}

void TakeInterval(const OptionsDialog& dialog, SyncController& c) {
    const bool hours = dialog.ComboBox1ItemIndex() == kHoursItem;
    // An interval that would wrap keeps the old one rather than storing a different period.
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
    return ProgramDirectory(path) + "/" + ProgramFileName(path);
}

}  // namespace

void SyncController::ShowOptions() {
    std::unique_ptr<OptionsDialog> dialog = services_.MakeOptionsDialog();
    FillDialog(*this, *dialog);
    dialog->ShowModal();
    if (!dialog->WasAccepted()) {
        return;
    }
    TakeFromDialog(*dialog, *this);
    // Confirmed options: the next unattended refusal is worth telling again.
    refusalTold_ = false;
    ApplyTimer1();
    SetAutorun(services_.Platform.Autostart, kAutorunValueName,
               AutorunCommand(services_.Platform.Program), !dialog->AutorunBoxChecked());
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
