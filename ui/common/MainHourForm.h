#pragma once

#include <array>

#include "ui/common/FormDescription.h"

namespace velmora {

// The main window as designed, and its tray menu.

// The controls' numbers (GetDlgItem), in the form's order.
enum MainHourControlId : int {
    kCheckTimeServerButtonId = 101,
    kAdjustClockButtonId = 102,
    kSpeedButton2Id = 103,
    kSpeedButton3Id = 104,
    kSpeedButton1Id = 105,
    kBevel1Id = 110,
    kLabel1Id = 111,
    kLabel2Id = 112,
    kLocalPCEditId = 113,
    kTimeServerEditId = 114,
    kStatusBar1Id = 115,
};

// The tray menu's items, in order; 0 stands for the separator N1.
enum MainHourMenuId : int {
    kSynchronizecomputerclock1Id = 201,
    kRestoreprogram1Id = 203,
    kExitprogram1Id = 204,
    kHistory1Id = 205,
};

struct MenuItemDescription {
    const char* name;
    int id;
    const char* caption;
};

const FormDescription& MainHourFormDescription();
const std::array<MenuItemDescription, 5>& TrayMenuDescription();

}  // namespace velmora
