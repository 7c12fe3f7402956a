#pragma once

#include <windows.h>

namespace velmora {

// The service's work until `stop` is set: the machine's settings read afresh each period, a
// synchronization at the start and on the period when they say so, and the pipe's requests in
// between. Returns 0, or an error code when it could not go on (the event log says why), so
// that the service manager's failure actions restart it.
DWORD ServeClock(HANDLE stop);

// Runs as the service "Velmora" under the service manager; outside it, says so and returns 1.
int RunService();

}  // namespace velmora
