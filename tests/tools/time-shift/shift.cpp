// Preloaded into a time server under test (LD_PRELOAD): every reading of the real-time clock
// (clock_gettime, gettimeofday, time) comes out VELMORA_TIME_SHIFT seconds later than the
// machine's clock says, so that the server serves a time that far off. The clock itself is never
// touched.

#include <dlfcn.h>
#include <sys/time.h>
#include <time.h>

#include <cstdlib>

namespace {

using ClockGettime = int (*)(clockid_t, timespec*);

long long Shift() {
    static const long long shift = [] {
        const char* text = std::getenv("VELMORA_TIME_SHIFT");
        return text ? std::atoll(text) : 0LL;
    }();
    return shift;
}

int RealClockGettime(clockid_t clock, timespec* now) {
    static const auto real = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
    return real ? real(clock, now) : -1;
}

}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* now) {
    const int result = RealClockGettime(clock, now);
    if (result == 0 && (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE)) {
        now->tv_sec += static_cast<time_t>(Shift());
    }
    return result;
}

extern "C" int gettimeofday(timeval* now, void* /*zone*/) {
    timespec shifted{};
    if (clock_gettime(CLOCK_REALTIME, &shifted) != 0) {
        return -1;
    }
    now->tv_sec = shifted.tv_sec;
    now->tv_usec = shifted.tv_nsec / 1000;
    return 0;
}

extern "C" time_t time(time_t* out) {
    timespec shifted{};
    clock_gettime(CLOCK_REALTIME, &shifted);
    if (out) {
        *out = shifted.tv_sec;
    }
    return shifted.tv_sec;
}
