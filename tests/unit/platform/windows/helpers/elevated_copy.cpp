// What the Windows entry does first thing, alone: the private command, or nothing (exit 0).
#include "platform/windows/ElevatedClock.h"

int wmain() {
    return velmora::RunPrivateCommand(velmora::ProgramArguments()).value_or(0);
}
