#pragma once

#include <string>

namespace velmora {

// The installer's deferred custom action, run as the system once the service is installed: what
// its tables cannot say (the required privileges SeSystemtimePrivilege and
// SeChangeNotifyPrivilege only, the unrestricted service SID, the delayed automatic start, a
// restart after a failure) and the machine's settings (the first ones where there are none, then
// the SERVERS and INTERVAL properties). Returns 0, or the Windows error code that stopped it
// (ERROR_INVALID_PARAMETER for a bad INTERVAL), which fails the install.
int SetUpService(const std::string& servers, const std::string& interval);

}  // namespace velmora
