#include "ui/common/OptionsPresenter.h"

#include "sync/IntervalRule.h"
#include "ui/common/FormTexts.h"
#include "ui/common/OptionsFields.h"
#include "ui/common/OptionsForm.h"

namespace velmora {

std::optional<OptionsValues> OptionsPresenter::Edit(const OptionsValues& shown) {
    accepted_ = false;
    Load(shown);
    // On showing: the interval's controls as the box says, the keyboard on OK.
    CheckBox1Click();
    form_.Focus(kOKButtonId);
    form_.RunModal();
    if (!accepted_) {
        return std::nullopt;
    }
    return Read();
}

void OptionsPresenter::Load(const OptionsValues& values) {
    // In this order: minimize on start may tick autorun, which then shows as given.
    SetChecked(kMinimizeBoxId, values.MinimizeOnStart);
    SetChecked(kAutorunBoxId, values.Autorun);
    SetChecked(kNextOnFailBoxId, values.TryNextServer);
    form_.SetText(kTimeSrvMemoId, MemoTextOf(ServerLinesOf(values.ServerList)));
    SetChecked(kCheckBox1Id, values.PeriodicSync);
    form_.SetItemIndex(kComboBox1Id, values.IntervalInHours ? kHoursItem : kMinutesItem);
    form_.SetText(kEdit1Id, values.IntervalText);
    SetChecked(kRadioButton1Id, !values.DisplayLocalTime);
    SetChecked(kRadioButton2Id, values.DisplayLocalTime);
    ShowMachineOwned(values.MachineOwnedReason);
}

void OptionsPresenter::ShowMachineOwned(const std::string& reason) {
    machineOwned_ = reason;
    form_.SetText(kMachineLineId, reason);
    const FormDescription& description = OptionsFormDescription();
    const ControlPlace line = description.Find(kMachineLineId)->place;
    form_.SetHeight(reason.empty() ? description.height : line.top + line.height + 4);
    form_.SetEnabled(kTimeSrvMemoId, reason.empty());
    form_.SetEnabled(kCheckBox1Id, reason.empty());
    CheckBox1Click();
}

OptionsValues OptionsPresenter::Read() const {
    return OptionsValues{
        .MinimizeOnStart = form_.Checked(kMinimizeBoxId),
        .Autorun = form_.Checked(kAutorunBoxId),
        .TryNextServer = form_.Checked(kNextOnFailBoxId),
        .ServerList = ServerListOf(MemoLinesOf(form_.Text(kTimeSrvMemoId))),
        .PeriodicSync = form_.Checked(kCheckBox1Id),
        .IntervalInHours = form_.ItemIndex(kComboBox1Id) == kHoursItem,
        .IntervalText = form_.Text(kEdit1Id),
        .DisplayLocalTime = !form_.Checked(kRadioButton1Id),
        .MachineOwnedReason = machineOwned_,
    };
}

void OptionsPresenter::Clicked(int id) {
    switch (id) {
        case kOKButtonId:
            OKButtonClick();
            break;
        case kCancelButtonId:
            form_.Close();
            break;
        case kCheckBox1Id:
            CheckBox1Click();
            break;
        case kMinimizeBoxId:
            MinimizeBoxClick();
            break;
        case kRadioButton1Id:
        case kRadioButton2Id:
            RadioButtonClick(id);
            break;
        default:
            break;
    }
}

void OptionsPresenter::SetChecked(int id, bool checked) {
    form_.SetChecked(id, checked);
    Clicked(id);
}

void OptionsPresenter::CheckBox1Click() {
    const bool periodic = form_.Checked(kCheckBox1Id) && machineOwned_.empty();
    form_.SetEnabled(kEdit1Id, periodic);
    form_.SetEnabled(kComboBox1Id, periodic);
}

void OptionsPresenter::MinimizeBoxClick() {
    if (form_.Checked(kMinimizeBoxId)) {
        SetChecked(kAutorunBoxId, true);
    }
}

void OptionsPresenter::RadioButtonClick(int id) {
    const int other = id == kRadioButton1Id ? kRadioButton2Id : kRadioButton1Id;
    const bool otherChecked = !form_.Checked(id);
    if (form_.Checked(other) != otherChecked) {
        form_.SetChecked(other, otherChecked);
    }
}

void OptionsPresenter::OKButtonClick() {
    const bool hours = form_.ItemIndex(kComboBox1Id) == kHoursItem;
    // The machine's interval is not this user's to mend.
    if (form_.Checked(kCheckBox1Id) && machineOwned_.empty() &&
        !IntervalMilliseconds(form_.Text(kEdit1Id), hours).has_value()) {
        form_.ShowMessage(kBadIntervalMessage);
        return;
    }
    accepted_ = true;
    form_.Close();
}

}  // namespace velmora
