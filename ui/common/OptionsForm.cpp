#include "ui/common/OptionsForm.h"

#include <array>

namespace velmora {

namespace {

using Kind = ControlKind;

constexpr std::array<const char*, 2> kUnits = {"hours", "minutes"};

// In tab order; a group box's controls follow it.
constexpr std::array<ControlDescription, 15> kControls = {{
    {"OKButton", kOKButtonId, Kind::DefaultButton, "OK", {444, 13, 75, 25}},
    {"CancelButton", kCancelButtonId, Kind::CancelButton, "Cancel", {444, 46, 75, 25}},
    {"GeneralBox", kGeneralBoxId, Kind::GroupBox, " General ", {8, 8, 225, 129}},
    {"Bevel1", kOptionsBevel1Id, Kind::Bevel, "", {8, 80, 209, 2}, "GeneralBox"},
    {"MinimizeBox",
     kMinimizeBoxId,
     Kind::CheckBox,
     "&minimize on start",
     {12, 17, 97, 17},
     "GeneralBox"},
    {"AutorunBox", kAutorunBoxId, Kind::CheckBox, "&autorun", {12, 36, 65, 17}, "GeneralBox"},
    {"CheckBox1",
     kCheckBox1Id,
     Kind::CheckBox,
     "synchronize every",
     {12, 55, 113, 17},
     "GeneralBox"},
    {"Edit1", kEdit1Id, Kind::DigitsEdit, "", {120, 53, 30, 21}, "GeneralBox", 3},
    {"ComboBox1", kComboBox1Id, Kind::DropDownList, "", {152, 53, 65, 21}, "GeneralBox", 0, kUnits},
    {"RadioButton1",
     kRadioButton1Id,
     Kind::RadioButton,
     "display GMT",
     {12, 88, 113, 17},
     "GeneralBox"},
    {"RadioButton2",
     kRadioButton2Id,
     Kind::RadioButton,
     "display local time",
     {12, 104, 113, 17},
     "GeneralBox"},
    {"TimeSrvGroup", kTimeSrvGroupId, Kind::GroupBox, " Time servers ", {240, 8, 192, 129}},
    {"TimeSrvMemo", kTimeSrvMemoId, Kind::Memo, "", {11, 24, 168, 73}, "TimeSrvGroup"},
    {"NextOnFailBox",
     kNextOnFailBoxId,
     Kind::CheckBox,
     "try next server on connect fail",
     {13, 104, 164, 17},
     "TimeSrvGroup"},
    {"MachineLine", kMachineLineId, Kind::Label, "", {8, 141, 511, 15}},
}};

constexpr FormDescription kForm{"TOptionsForm", "Options", 530, 141, kControls};

}  // namespace

const FormDescription& OptionsFormDescription() {
    return kForm;
}

}  // namespace velmora
