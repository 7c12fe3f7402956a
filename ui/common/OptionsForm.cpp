#include "ui/common/OptionsForm.h"

#include <array>

namespace velmora {

namespace {

using enum ControlKind;

constexpr const char* kGeneral = "GeneralBox";
constexpr const char* kServers = "TimeSrvGroup";

constexpr std::array<const char*, 2> kUnits = {"hours", "minutes"};

// In tab order; a group box's controls follow it.
constexpr std::array<ControlDescription, 15> kControls = {{
    {"OKButton", kOKButtonId, DefaultButton, "OK", {444, 13, 75, 25}},
    {"CancelButton", kCancelButtonId, CancelButton, "Cancel", {444, 46, 75, 25}},
    {kGeneral, kGeneralBoxId, GroupBox, " General ", {8, 8, 225, 129}},
    {"Bevel1", kOptionsBevel1Id, Bevel, "", {8, 80, 209, 2}, kGeneral},
    {"MinimizeBox", kMinimizeBoxId, CheckBox, "&minimize on start", {12, 17, 97, 17}, kGeneral},
    {"AutorunBox", kAutorunBoxId, CheckBox, "&autorun", {12, 36, 65, 17}, kGeneral},
    {"CheckBox1", kCheckBox1Id, CheckBox, "synchronize every", {12, 55, 113, 17}, kGeneral},
    {"Edit1", kEdit1Id, DigitsEdit, "", {120, 53, 30, 21}, kGeneral, 3},
    {"ComboBox1", kComboBox1Id, DropDownList, "", {152, 53, 65, 21}, kGeneral, 0, kUnits},
    {"RadioButton1", kRadioButton1Id, RadioButton, "display GMT", {12, 88, 113, 17}, kGeneral},
    {"RadioButton2",
     kRadioButton2Id,
     RadioButton,
     "display local time",
     {12, 104, 113, 17},
     kGeneral},
    {kServers, kTimeSrvGroupId, GroupBox, " Time servers ", {240, 8, 192, 129}},
    {"TimeSrvMemo", kTimeSrvMemoId, Memo, "", {11, 24, 168, 73}, kServers},
    {"NextOnFailBox",
     kNextOnFailBoxId,
     CheckBox,
     "try next server on connect fail",
     {13, 104, 164, 17},
     kServers},
    {"MachineLine", kMachineLineId, Label, "", {8, 141, 511, 15}},
}};

constexpr FormDescription kForm{"TOptionsForm", "Options", 530, 141, kControls};

}  // namespace

const FormDescription& OptionsFormDescription() {
    return kForm;
}

}  // namespace velmora
