#pragma once

#include <functional>
#include <string>

namespace velmora {

// The general error handler's core, which both front ends share: runs `action`; an error it
// raises goes to `report` as its message ("Unknown error." for one that has none).
void RunReporting(const std::function<void()>& action,
                  const std::function<void(const std::string&)>& report);
// Runs `show` (the front end's error box for `message`) unless such a box is open already: then
// the message is dropped, so errors from timers firing under the box never stack boxes.
void ShowOneAtATime(const std::string& message, const std::function<void()>& show);
// Whether the error box is open, and its message (else "").
bool ErrorBoxShowing();
std::string ErrorBoxMessage();
// "velmora: <message>" on standard error, for the ways out on which nobody may be there to close
// a box.
void ReportToStandardError(const std::string& message);

}  // namespace velmora
