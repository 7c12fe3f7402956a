// Preloaded into the program under test (LD_PRELOAD): appends one line per clock_settime call to
// the file named by VELMORA_CLOCK_SHIM_LOG: "set <requested s.ns> at <real time s.ns>", then hands
// the call to the C library, so that a refusal stays a refusal.

#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace {

using ClockSettime = int (*)(clockid_t, const timespec*);

void Record(const timespec* requested) {
    const char* path = std::getenv("VELMORA_CLOCK_SHIM_LOG");
    if (!path || !requested) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "set %lld.%09ld at %lld.%09ld\n",
                     static_cast<long long>(requested->tv_sec), requested->tv_nsec,
                     static_cast<long long>(now.tv_sec), now.tv_nsec);
        std::fclose(log);
    }
}

}  // namespace

extern "C" int clock_settime(clockid_t clock, const timespec* requested) {
    if (clock == CLOCK_REALTIME) {
        Record(requested);
    }
    static const auto real = reinterpret_cast<ClockSettime>(dlsym(RTLD_NEXT, "clock_settime"));
    return real ? real(clock, requested) : -1;
}
