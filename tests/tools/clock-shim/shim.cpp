// Preloaded into the program under test (LD_PRELOAD): appends one line per attempt to change the
// clock to the file named by VELMORA_CLOCK_SHIM_LOG, "set <requested s.ns> at <real time s.ns>"
// for clock_settime and "step <offset s.ns> at <real time s.ns>" for clock_adjtime's
// ADJ_SETOFFSET, then hands the call to the C library, so that a refusal stays a refusal.

#include <dlfcn.h>
#include <sys/timex.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace {

using ClockSettime = int (*)(clockid_t, const timespec*);
using ClockAdjtime = int (*)(clockid_t, timex*);

void Record(const char* what, long long seconds, long nanoseconds) {
    const char* path = std::getenv("VELMORA_CLOCK_SHIM_LOG");
    if (!path) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (FILE* log = std::fopen(path, "a")) {
        // Seconds round down and the nanoseconds count up from there, so -0.25 s is -1.750000000:
        // written as one decimal number it reads back whole.
        const double value = static_cast<double>(seconds) + static_cast<double>(nanoseconds) / 1e9;
        std::fprintf(log, "%s %.9f at %lld.%09ld\n", what, value,
                     static_cast<long long>(now.tv_sec), now.tv_nsec);
        std::fclose(log);
    }
}

}  // namespace

extern "C" int clock_settime(clockid_t clock, const timespec* requested) {
    if (clock == CLOCK_REALTIME) {
        Record("set", requested->tv_sec, requested->tv_nsec);
    }
    static const auto real = reinterpret_cast<ClockSettime>(dlsym(RTLD_NEXT, "clock_settime"));
    return real ? real(clock, requested) : -1;
}

extern "C" int clock_adjtime(clockid_t clock, timex* change) {
    if (clock == CLOCK_REALTIME && (change->modes & ADJ_SETOFFSET)) {
        const long fraction = change->time.tv_usec;
        Record("step", change->time.tv_sec,
               (change->modes & ADJ_NANO) ? fraction : fraction * 1000);
    }
    static const auto real = reinterpret_cast<ClockAdjtime>(dlsym(RTLD_NEXT, "clock_adjtime"));
    return real ? real(clock, change) : -1;
}
