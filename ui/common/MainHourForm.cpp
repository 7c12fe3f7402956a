#include "ui/common/MainHourForm.h"

#include "ui/common/FormTexts.h"

namespace velmora {

namespace {

using enum ControlKind;

// The pictures, each named by its file (ui/images/button-NAME.png).
constexpr std::array<const char*, 1> kGetTime = {"gettime"};
constexpr std::array<const char*, 1> kAdjust = {"adjust"};
constexpr std::array<const char*, 1> kProperties = {"properties"};
constexpr std::array<const char*, 1> kHelp = {"help"};
constexpr std::array<const char*, 1> kExit = {"exit"};

// A picture button of the bar along the top, its caption what its picture shows beneath it: its
// name to a screen reader.
constexpr ControlDescription BarButton(const char* name, int id, const char* caption, int left,
                                       std::span<const char* const> picture) {
    return {name, id, PictureButton, caption, {left, 0, 62, 73}, nullptr, 0, picture};
}

constexpr std::array<ControlDescription, 11> kControls = {{
    BarButton("CheckTimeServerButton", kCheckTimeServerButtonId, "Get time", 2, kGetTime),
    BarButton("AdjustClockButton", kAdjustClockButtonId, "Adjust time", 64, kAdjust),
    BarButton("SpeedButton2", kSpeedButton2Id, "Properties", 126, kProperties),
    BarButton("SpeedButton3", kSpeedButton3Id, "Help", 188, kHelp),
    BarButton("SpeedButton1", kSpeedButton1Id, "Exit", 250, kExit),
    {"Bevel1", kBevel1Id, Bevel, "", {0, 80, 313, 2}},
    {"Label1", kLabel1Id, Label, "Current time", {2, 88, 146, 14}},
    {"Label2", kLabel2Id, Label, "Atomic clock time", {167, 88, 146, 14}},
    {"LocalPCEdit", kLocalPCEditId, ClockField, "", {2, 104, 145, 17}},
    {"TimeServerEdit", kTimeServerEditId, ClockField, "", {167, 104, 145, 17}},
    {"StatusBar1", kStatusBar1Id, StatusBar, "", {0, 132, 315, 19}},
}};

constexpr FormDescription kForm{"TTimeForm", kTitle, 315, 151, kControls};

constexpr std::array<MenuItemDescription, 5> kTrayMenu = {{
    {"Synchronizecomputerclock1", kSynchronizecomputerclock1Id, kSynchronizeComputerClockCaption},
    {"N1", 0, "-"},
    {"Restoreprogram1", kRestoreprogram1Id, kRestoreProgramCaption},
    {"Exitprogram1", kExitprogram1Id, kExitProgramCaption},
    {"History1", kHistory1Id, kHistoryCaption},
}};

}  // namespace

const FormDescription& MainHourFormDescription() {
    return kForm;
}

const std::array<MenuItemDescription, 5>& TrayMenuDescription() {
    return kTrayMenu;
}

}  // namespace velmora
