// service-host: the clock service's work (ServeClock: the machine's settings, the synchronizations,
// the pipe and its requests) as a plain process, for the Windows end-to-end tests under a Wine
// whose service manager starts no service on demand. It runs until its standard input ends.
// The program's client refuses to talk to it: it is not the process the service manager names
// for the service.
#include <windows.h>

#include <cstdio>
#include <thread>

#include "service/windows/ServiceRun.h"

int wmain() {
    const HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread watch([stop] {
        while (std::getchar() != EOF) {
        }
        SetEvent(stop);
    });
    const DWORD code = velmora::ServeClock(stop);
    SetEvent(stop);
    watch.detach();
    return static_cast<int>(code);
}
