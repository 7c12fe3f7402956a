// velmora-service.exe: the Velmora Time service, and the installer's step that configures it.
#include <windows.h>

#include <string>

#include "platform/windows/WideText.h"
#include "service/windows/ServiceRun.h"
#include "service/windows/ServiceSetup.h"

int wmain(int argc, wchar_t** argv) {
    // The installer's only command: "/VelmoraServiceSetup" "<SERVERS>" "<INTERVAL>".
    if (argc == 4 && std::wstring(argv[1]) == L"/VelmoraServiceSetup") {
        return velmora::SetUpService(velmora::Narrow(argv[2]), velmora::Narrow(argv[3]));
    }
    return velmora::RunService();
}
