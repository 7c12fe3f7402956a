#include "ui/qt/RunningCopy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace velmora {

namespace {

// A local socket connects at once or not at all; this only bounds a peer that is stuck.
constexpr int kConnectTimeoutMs = 1000;
// A copy answers once its event loop gets to the call; one busy with a query may take a while,
// and one that holds the lock is alive, so after this long it counts as having taken the call.
constexpr int kAnswerTimeoutMs = 5000;
constexpr int kRetryMs = 50;
constexpr int kBacklog = 16;
constexpr char kShown = '+';

// Whether the process at the other end of a connected local socket runs as this user.
bool SameUser(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

// The socket's address; nothing when the path is too long for one.
std::optional<sockaddr_un> Address(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return address;
}

sockaddr* Raw(sockaddr_un& address) {
    return reinterpret_cast<sockaddr*>(&address);
}

// Whether `socket` has something to read (or was closed) within `ms`.
bool Readable(int socket, int ms) {
    QElapsedTimer waited;
    waited.start();
    pollfd wait{socket, POLLIN, 0};
    int ready;
    while ((ready = poll(&wait, 1, std::max(0, ms - int(waited.elapsed())))) < 0 &&
           errno == EINTR) {
    }
    return ready > 0;
}

// A connected socket, or -1. Connecting waits only while the copy's queue of callers is full.
int Connect(const QString& path) {
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

QString DisplayName() {
    if (QGuiApplication::platformName().startsWith("wayland")) {
        const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
        return wayland.isEmpty() ? "wayland-0" : wayland;
    }
    return qEnvironmentVariable("DISPLAY");
}

}  // namespace

QString RunningCopy::SessionName() {
    const QString display = DisplayName();
    if (!display.contains('/')) {
        return "velmora-" + display;
    }
    // A Wayland display may be named by its full path, too long for a socket's name: its last
    // part, and a digest of the whole to tell equal last parts apart.
    const QByteArray digest =
        QCryptographicHash::hash(display.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return "velmora-" + display.section('/', -1) + "-" + QString::fromLatin1(digest);
}

RunningCopy::RunningCopy(const QString& folder, const QString& name, QObject* parent)
    : QObject(parent) {
    // A start while this copy ends must not be handed to it: it would show nothing.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, &RunningCopy::StopAnswering);
    }
    if (folder.isEmpty()) {
        return;
    }
    path_ = folder + "/" + name;
    lock_ = open(QFile::encodeName(path_ + ".lock").constData(),
                 O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock_ >= 0) {
        FindOrBecomeTheCopy();
    }
}

RunningCopy::~RunningCopy() {
    Stop();
}

void RunningCopy::FindOrBecomeTheCopy() {
    QElapsedTimer waited;
    waited.start();
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
        if (!held || waited.elapsed() > kWaitForCopyMs) {
            Stop();
            return;
        }
        QThread::msleep(kRetryMs);
    }
}

bool RunningCopy::Listen() {
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
    callers_ = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    connect(callers_.get(), &QSocketNotifier::activated, this, &RunningCopy::Answer);
    return true;
}

bool RunningCopy::AskRunningCopy() const {
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

void RunningCopy::StopAnswering() {
    // Under the lock, so that the next copy's socket is never the one removed.
    callers_.reset();
    if (listener_ >= 0) {
        close(listener_);
        listener_ = -1;
        unlink(QFile::encodeName(path_).constData());
    }
}

void RunningCopy::Stop() {
    StopAnswering();
    if (lock_ >= 0) {
        close(lock_);
        lock_ = -1;
    }
}

void RunningCopy::Answer() {
    int caller;
    while ((caller = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0 || errno == EINTR) {
        if (caller < 0) {
            continue;
        }
        const bool ours = SameUser(caller);
        if (ours) {
            send(caller, &kShown, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        close(caller);
        if (ours) {
            emit ShowRequested();
        }
    }
}

}  // namespace velmora
