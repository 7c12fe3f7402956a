#pragma once

#include <functional>

namespace velmora {

class TTimeForm;

// The whole program: the application with its error handler, the real platform services, the
// main window and the event loop; the settings are saved on every way out. `extra` runs once the
// window exists (test builds attach probes there; the program passes none). Returns the exit code.
int RunVelmora(int argc, char** argv, const std::function<void(TTimeForm&)>& extra = {});

}  // namespace velmora
