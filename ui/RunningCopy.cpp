#include "ui/RunningCopy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>

namespace velmora {

namespace {

// A local socket connects at once or not at all; this only bounds a peer that is stuck.
constexpr int kConnectTimeoutMs = 1000;
// A copy answers once its event loop gets to the call; one busy with a query may take a while,
// and one that holds the lock is alive, so after this long it counts as having taken the call.
constexpr int kAnswerTimeoutMs = 5000;
// How long a start waits for a copy that holds the lock but does not listen (yet, or any more:
// it is between taking the lock and listening, or between closing and letting the lock go).
constexpr int kFindCopyMs = 3000;
constexpr int kRetryMs = 50;
constexpr char kShown = '+';

// Whether the process at the other end of a connected local socket runs as this user.
bool SameUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (descriptor < 0 ||
        getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
        return false;
    }
    return peer.uid == getuid();
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
    connect(&server_, &QLocalServer::newConnection, this, &RunningCopy::Answer);
    // A start while this copy ends must not be handed to it: it would show nothing.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, &RunningCopy::Stop);
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
        if (!held || waited.elapsed() > kFindCopyMs) {
            Stop();
            return;
        }
        QThread::msleep(kRetryMs);
    }
}

bool RunningCopy::Listen() {
    // Whoever held the lock before has gone; a socket left behind is stale.
    QLocalServer::removeServer(path_);
    return server_.listen(path_);
}

bool RunningCopy::AskRunningCopy() const {
    // The connection itself is the request; the copy confirms it before it shows its window. A
    // copy that is closing drops the connection unconfirmed.
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(kConnectTimeoutMs) || !SameUser(socket.socketDescriptor())) {
        return false;
    }
    if (socket.waitForReadyRead(kAnswerTimeoutMs)) {
        return socket.read(1) == QByteArray(1, kShown);
    }
    return socket.state() == QLocalSocket::ConnectedState;
}

void RunningCopy::Stop() {
    // The socket goes before the lock, so that the next copy's socket is never removed.
    server_.close();
    if (lock_ >= 0) {
        close(lock_);
        lock_ = -1;
    }
}

void RunningCopy::Answer() {
    while (QLocalSocket* caller = server_.nextPendingConnection()) {
        const bool ours = SameUser(caller->socketDescriptor());
        if (ours) {
            caller->write(QByteArray(1, kShown));
            caller->flush();
        }
        caller->abort();
        caller->deleteLater();
        if (ours) {
            emit ShowRequested();
        }
    }
}

}  // namespace velmora
