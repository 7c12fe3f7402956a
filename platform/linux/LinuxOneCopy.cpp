#include "platform/linux/LinuxOneCopy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

namespace velmora {

namespace {

using Clock = std::chrono::steady_clock;

// A local socket connects at once or not at all; this only bounds a peer that is stuck.
constexpr int kConnectTimeoutMs = 1000;
// A copy answers once its event loop gets to the call; one busy with a query may take a while,
// and one that holds the lock is alive, so after this long it counts as having taken the call.
constexpr int kAnswerTimeoutMs = 5000;
constexpr auto kRetry = std::chrono::milliseconds(50);
constexpr int kBacklog = 16;
constexpr char kShown = '+';

int MillisecondsSince(Clock::time_point start) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Whether the process at the other end of a connected local socket runs as this user.
bool SameUser(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

// The socket's address; nothing when the path is too long for one.
std::optional<sockaddr_un> Address(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
}

sockaddr* Raw(sockaddr_un& address) {
    return reinterpret_cast<sockaddr*>(&address);
}

// Whether `socket` has something to read (or was closed) within `ms`.
bool Readable(int socket, int ms) {
    const Clock::time_point start = Clock::now();
    pollfd wait{socket, POLLIN, 0};
    int ready;
    while ((ready = poll(&wait, 1, std::max(0, ms - MillisecondsSince(start)))) < 0 &&
           errno == EINTR) {
    }
    return ready > 0;
}

// A connected socket, or -1. Connecting waits only while the copy's queue of callers is full.
int Connect(const std::string& path) {
    std::optional<sockaddr_un> address = Address(path);
    const int socket = address ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
    if (socket < 0) {
        return -1;
    }
    const timeval limit{kConnectTimeoutMs / 1000, kConnectTimeoutMs % 1000 * 1000};
    if (setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) != 0 ||
        connect(socket, Raw(*address), sizeof *address) != 0) {
        close(socket);
        return -1;
    }
    return socket;
}

}  // namespace

LinuxOneCopy::LinuxOneCopy(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return;
    }
    path_ = folder + "/" + name;
    lock_ = open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock_ >= 0) {
        FindOrBecomeTheCopy();
    }
}

LinuxOneCopy::~LinuxOneCopy() {
    Stop();
}

void LinuxOneCopy::FindOrBecomeTheCopy() {
    const Clock::time_point start = Clock::now();
    while (true) {
        if (flock(lock_, LOCK_EX | LOCK_NB) == 0) {
            if (!Listen()) {
                Stop();
            }
            return;
        }
        const bool held = errno == EWOULDBLOCK;
        if (AskRunningCopy()) {
            handedOver_ = true;
            Stop();
            return;
        }
        // A copy that never answers (or a folder without locks) leaves this one on its own.
        if (!held || MillisecondsSince(start) > kWaitForCopyMs) {
            Stop();
            return;
        }
        std::this_thread::sleep_for(kRetry);
    }
}

bool LinuxOneCopy::Listen() {
    std::optional<sockaddr_un> address = Address(path_);
    const int socket =
        address ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0) : -1;
    if (socket < 0) {
        return false;
    }
    // Whoever held the lock before has gone; a socket left behind is stale.
    unlink(address->sun_path);
    if (bind(socket, Raw(*address), sizeof *address) != 0 || listen(socket, kBacklog) != 0) {
        close(socket);
        return false;
    }
    listener_ = socket;
    return true;
}

bool LinuxOneCopy::AskRunningCopy() const {
    // The connection itself is the request; the copy confirms it before it shows its window. A
    // copy that is closing drops the connection unconfirmed.
    const int socket = Connect(path_);
    if (socket < 0) {
        return false;
    }
    bool shown = SameUser(socket);
    if (shown && Readable(socket, kAnswerTimeoutMs)) {
        char answer = 0;
        shown = recv(socket, &answer, 1, 0) == 1 && answer == kShown;
    }
    close(socket);
    return shown;
}

void LinuxOneCopy::StopAnswering() {
    // Under the lock, so that the next copy's socket is never the one removed.
    if (listener_ >= 0) {
        close(listener_);
        listener_ = -1;
        unlink(path_.c_str());
    }
}

void LinuxOneCopy::Stop() {
    StopAnswering();
    if (lock_ >= 0) {
        close(lock_);
        lock_ = -1;
    }
}

int LinuxOneCopy::AnswerCallers() {
    int asked = 0;
    int caller;
    while (listener_ >= 0 &&
           ((caller = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0 || errno == EINTR)) {
        if (caller < 0) {
            continue;
        }
        if (SameUser(caller)) {
            send(caller, &kShown, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            ++asked;
        }
        close(caller);
    }
    return asked;
}

}  // namespace velmora
