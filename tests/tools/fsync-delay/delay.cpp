// Preloaded (LD_PRELOAD) into a program under test: every fsync and fdatasync waits
// VELMORA_FSYNC_DELAY_MS milliseconds (2000 when unset) before it goes on to the C library, as on
// a slow disk. When VELMORA_FSYNC_DELAY_LOG names a file, a line "<call> start" is appended to it
// before the wait and "<call> done" after the call.

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using SyncCall = int (*)(int);

long DelayMs() {
    static const long delay = [] {
        const char* text = std::getenv("VELMORA_FSYNC_DELAY_MS");
        return text ? std::atol(text) : 2000L;
    }();
    return delay;
}

void Log(const char* call, const char* what) {
    const char* log = std::getenv("VELMORA_FSYNC_DELAY_LOG");
    if (log == nullptr) {
        return;
    }
    const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return;
    }
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%s %s\n", call, what);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof line) {
        [[maybe_unused]] const ssize_t written = write(fd, line, static_cast<std::size_t>(length));
    }
    close(fd);
}

void Wait() {
    timespec rest{DelayMs() / 1000, DelayMs() % 1000 * 1000000};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

int Slowed(const char* call, int fd) {
    const int saved = errno;
    Log(call, "start");
    Wait();
    errno = saved;
    const auto real = reinterpret_cast<SyncCall>(dlsym(RTLD_NEXT, call));
    const int result = real ? real(fd) : (errno = ENOSYS, -1);
    const int error = errno;
    Log(call, "done");
    errno = error;
    return result;
}

}  // namespace

extern "C" int fsync(int fd) {
    return Slowed("fsync", fd);
}

extern "C" int fdatasync(int fd) {
    return Slowed("fdatasync", fd);
}
