// Velmora: keeps the computer clock in step with network time servers.

#include <windows.h>

#include "app/win32/Entry.h"
#include "platform/windows/ElevatedClock.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    return velmora::RunVelmora(velmora::ProgramArguments(), showCommand);
}
