#include "ui/qt/TrayHost.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QString>

#include "ui/qt/Xcb.h"

namespace velmora {

namespace {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
// The window's thread waits for the answer; a watcher this slow counts as no host.
constexpr int kWatcherTimeoutMs = 500;

}  // namespace

bool TrayHost::Present() const {
    return StatusNotifierHostThere() || XEmbedTrayThere();
}

void TrayHost::Decide() {
    kind_ = StatusNotifierHostThere() ? Protocol::StatusNotifierItem : Protocol::XEmbed;
}

bool TrayHost::Available() const {
    return kind_ == Protocol::StatusNotifierItem ? StatusNotifierHostThere() : XEmbedTrayThere();
}

// The watcher's own account: it outlives a host that goes away, so its mere presence on the bus
// says nothing.
bool TrayHost::StatusNotifierHostThere() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QString(kWatcherService) << QString("IsStatusNotifierHostRegistered");
    // Looking is asked often while no tray is there; it must never start a watcher.
    get.setAutoStartService(false);
    const QDBusMessage reply = bus.call(get, QDBus::Block, kWatcherTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

bool TrayHost::XEmbedTrayThere() const {
    return XEmbedTrayManaged();
}

}  // namespace velmora
