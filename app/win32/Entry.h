#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmora {

class TTimeForm;

// The whole Windows program. First thing, the elevated copy's private command (the only argument
// the program reads): when `args` is one, it is done and its exit code returned, nothing else
// made. Otherwise one copy per session: a second start brings the first copy's window to the
// front and ends. The first copy makes the real platform services and the main window, and runs
// the message loop; the settings are saved on every way out. `showCommand` is how Windows asked
// for the window to show (WinMain's). `extra` runs once the window exists (test builds attach
// probes there; the program passes none). Returns the exit code.
int RunVelmora(const std::vector<std::string>& args, int showCommand,
               const std::function<void(TTimeForm&)>& extra = {});

}  // namespace velmora
