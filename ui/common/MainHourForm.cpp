#include "ui/common/MainHourForm.h"

#include "ui/common/FormTexts.h"

namespace velmora {

namespace {

using Kind = ControlKind;

// The pictures, each named by its file (ui/images/button-NAME.png).
constexpr std::array<const char*, 1> kGetTime = {"gettime"};
constexpr std::array<const char*, 1> kAdjust = {"adjust"};
constexpr std::array<const char*, 1> kProperties = {"properties"};
constexpr std::array<const char*, 1> kHelp = {"help"};
constexpr std::array<const char*, 1> kExit = {"exit"};

// A picture button's caption is what its picture shows beneath it: its name to a screen reader.
constexpr std::array<ControlDescription, 11> kControls = {{
    {"CheckTimeServerButton",
     kCheckTimeServerButtonId,
     Kind::PictureButton,
     "Get time",
     {2, 0, 62, 73},
     nullptr,
     0,
     kGetTime},
    {"AdjustClockButton",
     kAdjustClockButtonId,
     Kind::PictureButton,
     "Adjust time",
     {64, 0, 62, 73},
     nullptr,
     0,
     kAdjust},
    {"SpeedButton2",
     kSpeedButton2Id,
     Kind::PictureButton,
     "Properties",
     {126, 0, 62, 73},
     nullptr,
     0,
     kProperties},
    {"SpeedButton3",
     kSpeedButton3Id,
     Kind::PictureButton,
     "Help",
     {188, 0, 62, 73},
     nullptr,
     0,
     kHelp},
    {"SpeedButton1",
     kSpeedButton1Id,
     Kind::PictureButton,
     "Exit",
     {250, 0, 62, 73},
     nullptr,
     0,
     kExit},
    {"Bevel1", kBevel1Id, Kind::Bevel, "", {0, 80, 313, 2}},
    {"Label1", kLabel1Id, Kind::Label, "Current time", {2, 88, 146, 14}},
    {"Label2", kLabel2Id, Kind::Label, "Atomic clock time", {167, 88, 146, 14}},
    {"LocalPCEdit", kLocalPCEditId, Kind::ClockField, "", {2, 104, 145, 17}},
    {"TimeServerEdit", kTimeServerEditId, Kind::ClockField, "", {167, 104, 145, 17}},
    {"StatusBar1", kStatusBar1Id, Kind::StatusBar, "", {0, 132, 315, 19}},
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
