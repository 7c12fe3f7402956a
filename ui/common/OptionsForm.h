#pragma once

#include "ui/common/FormDescription.h"

namespace velmora {

// The options dialog as designed.

// Its controls' numbers; OK and Cancel have the ones Windows' dialogs give Enter and Esc.
enum OptionsControlId : int {
    kOKButtonId = 1,
    kCancelButtonId = 2,
    kGeneralBoxId = 1001,
    kOptionsBevel1Id,
    kMinimizeBoxId,
    kAutorunBoxId,
    kCheckBox1Id,
    kEdit1Id,
    kComboBox1Id,
    kRadioButton1Id,
    kRadioButton2Id,
    kTimeSrvGroupId,
    kTimeSrvMemoId,
    kNextOnFailBoxId,
    // Why the machine's fields cannot be changed, below the form's designed height: the form
    // grows to show it only when there is a why.
    kMachineLineId,
};

// ComboBox1's items.
inline constexpr int kHoursItem = 0;
inline constexpr int kMinutesItem = 1;

const FormDescription& OptionsFormDescription();

}  // namespace velmora
