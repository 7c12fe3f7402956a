#include "ui/RunningCopy.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QLocalSocket>

namespace velmora {

namespace {

// A local socket connects at once or not at all; this only bounds a peer that is stuck.
constexpr int kConnectTimeoutMs = 1000;

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
    const bool wayland = QGuiApplication::platformName().startsWith("wayland");
    return qEnvironmentVariable(wayland ? "WAYLAND_DISPLAY" : "DISPLAY");
}

}  // namespace

QString RunningCopy::SessionName() {
    return QString("velmora-%1-%2").arg(getuid()).arg(DisplayName());
}

RunningCopy::RunningCopy(const QString& name, QObject* parent) : QObject(parent), name_(name) {
    server_.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    connect(&server_, &QLocalServer::newConnection, this, &RunningCopy::Answer);
    // A copy started at the same moment may take the name between the two steps.
    handedOver_ = AskRunningCopy() || (!server_.listen(name_) && AskRunningCopy());
}

bool RunningCopy::AskRunningCopy() {
    // The connection itself is the request.
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name_);
    return socket.waitForConnected(kConnectTimeoutMs) && SameUser(socket.socketDescriptor());
}

void RunningCopy::Answer() {
    while (QLocalSocket* caller = server_.nextPendingConnection()) {
        const bool ours = SameUser(caller->socketDescriptor());
        caller->abort();
        caller->deleteLater();
        if (ours) {
            emit ShowRequested();
        }
    }
}

}  // namespace velmora
