#pragma once

#include <string>

namespace velmora {

// The program's title: window captions, message boxes, the tray tip's first word.
inline constexpr const char* kTitle = "Velmora";

// The tray menu's items, in order (a separator after the first).
inline constexpr const char* kSynchronizeComputerClockCaption = "Synchronize computer clock";
inline constexpr const char* kRestoreProgramCaption = "Restore program";
inline constexpr const char* kExitProgramCaption = "Exit program";
inline constexpr const char* kHistoryCaption = "History...";

// The options dialog's answer to an interval that is not a whole number.
inline constexpr const char* kBadIntervalMessage =
    "Please enter a valid time interval for periodic synchronization.";

// The status line's text for the control of that form name; empty for a control without one.
std::string StatusTextOf(const std::string& controlName);

}  // namespace velmora
