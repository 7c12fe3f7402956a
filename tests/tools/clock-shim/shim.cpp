// Preloaded (LD_PRELOAD) into a process that may try to change the clock: appends one line per
// attempt to the file named by VELMORA_CLOCK_SHIM_LOG, with the real time at that moment:
//   set <time> at <now>     clock_settime(CLOCK_REALTIME), settimeofday with a time
//   step <offset> at <now>  clock_adjtime(CLOCK_REALTIME) or adjtimex with ADJ_SETOFFSET
//   zone <minutes west> at <now>  settimeofday with a time zone
//   rtc <time> at <now>     RTC_SET_TIME on a hardware clock (its fields read as UTC)
// Times are seconds since 1970 with nine decimals. Each call is then handed to the C library, so
// that a refusal stays a refusal; with VELMORA_CLOCK_SHIM_ANSWER=1 the shim answers every such
// call with success itself and nothing reaches the clock or the device. A call it does not know
// goes on to the C library, where a process without CAP_SYS_TIME is refused.

#include <dlfcn.h>
#include <linux/rtc.h>
#include <sys/time.h>
#include <sys/timex.h>
#include <time.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool Answering() {
    static const bool answering = [] {
        const char* value = std::getenv("VELMORA_CLOCK_SHIM_ANSWER");
        return value && std::strcmp(value, "1") == 0;
    }();
    return answering;
}

// "-1.750000000" for -1 s + 250000000 ns: one decimal number that reads back whole.
void PrintSeconds(FILE* log, std::int64_t seconds, std::int64_t nanoseconds) {
    const std::int64_t total = seconds * 1000000000LL + nanoseconds;
    const std::uint64_t size = total < 0 ? 0 - static_cast<std::uint64_t>(total) : total;
    std::fprintf(log, "%s%llu.%09llu", total < 0 ? "-" : "",
                 static_cast<unsigned long long>(size / 1000000000ULL),
                 static_cast<unsigned long long>(size % 1000000000ULL));
}

void Record(const char* what, std::int64_t seconds, std::int64_t nanoseconds) {
    const char* path = std::getenv("VELMORA_CLOCK_SHIM_LOG");
    if (!path) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "%s ", what);
        PrintSeconds(log, seconds, nanoseconds);
        std::fputs(" at ", log);
        PrintSeconds(log, now.tv_sec, now.tv_nsec);
        std::fputc('\n', log);
        std::fclose(log);
    }
}

// Whether an adjtimex-style change steps the clock; recorded when it does.
bool RecordStep(const timex* change) {
    if (!(change->modes & ADJ_SETOFFSET)) {
        return false;
    }
    const long fraction = change->time.tv_usec;
    Record("step", change->time.tv_sec, (change->modes & ADJ_NANO) ? fraction : fraction * 1000);
    return true;
}

}  // namespace

extern "C" int clock_settime(clockid_t clock, const timespec* requested) {
    if (clock == CLOCK_REALTIME) {
        Record("set", requested->tv_sec, requested->tv_nsec);
        if (Answering()) {
            return 0;
        }
    }
    static const auto real = Next<int (*)(clockid_t, const timespec*)>("clock_settime");
    return real ? real(clock, requested) : -1;
}

extern "C" int settimeofday(const timeval* requested, const struct timezone* zone) {
    if (requested) {
        Record("set", requested->tv_sec, requested->tv_usec * 1000LL);
    }
    if (zone) {
        Record("zone", zone->tz_minuteswest, 0);
    }
    if (Answering()) {
        return 0;
    }
    static const auto real = Next<int (*)(const timeval*, const struct timezone*)>("settimeofday");
    return real ? real(requested, zone) : -1;
}

extern "C" int clock_adjtime(clockid_t clock, timex* change) {
    if (clock == CLOCK_REALTIME && RecordStep(change) && Answering()) {
        return TIME_OK;
    }
    static const auto real = Next<int (*)(clockid_t, timex*)>("clock_adjtime");
    return real ? real(clock, change) : -1;
}

extern "C" int adjtimex(timex* change) {
    if (RecordStep(change) && Answering()) {
        return TIME_OK;
    }
    static const auto real = Next<int (*)(timex*)>("adjtimex");
    return real ? real(change) : -1;
}

extern "C" int ioctl(int fd, unsigned long request, ...) {
    va_list rest;
    va_start(rest, request);
    void* argument = va_arg(rest, void*);
    va_end(rest);
    if (request == RTC_SET_TIME) {
        const auto* fields = static_cast<const rtc_time*>(argument);
        std::tm tm{};
        tm.tm_year = fields->tm_year;
        tm.tm_mon = fields->tm_mon;
        tm.tm_mday = fields->tm_mday;
        tm.tm_hour = fields->tm_hour;
        tm.tm_min = fields->tm_min;
        tm.tm_sec = fields->tm_sec;
        Record("rtc", timegm(&tm), 0);
        if (Answering()) {
            return 0;
        }
    }
    static const auto real = Next<int (*)(int, unsigned long, ...)>("ioctl");
    return real ? real(fd, request, argument) : -1;
}
