#pragma once

#include <windows.h>

#include <array>

#include "ui/win32/FormFont.h"

namespace velmora {

// The main window's form data: its controls as designed, at 96 dpi.

// The controls' ids (GetDlgItem), in the form's order.
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

// The tray menu's items, in order (N1 is the separator).
enum MainHourMenuId : int {
    kSynchronizecomputerclock1Id = 201,
    kRestoreprogram1Id = 203,
    kExitprogram1Id = 204,
    kHistory1Id = 205,
};

enum class ControlKind { PictureButton, Bevel, Label, ClockField, StatusBar };

struct FormControl {
    const char* name;
    int id;
    ControlKind kind;
    // Left, top, width, height at 96 dpi.
    int left, top, width, height;
    // The picture's resource, for a picture button.
    int picture;
};

// The client area at 96 dpi.
inline constexpr SIZE kMainHourClient = {315, 151};
// The server field's background.
inline constexpr COLORREF kServerFieldColour = RGB(0, 128, 0);

const std::array<FormControl, 11>& MainHourControls();
// The form's control of `id`; null for none.
const FormControl* MainHourControl(int id);

// Makes the controls of the form as children of `form` (placed once LayOut runs).
void CreateMainHourControls(HWND form);
// Places the controls at `dpi` and gives them `font`.
void LayOutMainHour(HWND form, UINT dpi, HFONT font);

}  // namespace velmora
