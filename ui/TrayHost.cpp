#include "ui/TrayHost.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QString>
#include <QSystemTrayIcon>

namespace velmora {

namespace {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
// The window's thread waits for the answer; a watcher this slow counts as no host.
constexpr int kWatcherTimeoutMs = 500;

// The watcher's own account of whether a host shows its items. The watcher outlives a host that
// goes away, so its mere presence on the bus says nothing.
bool StatusNotifierHostRegistered() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QString(kWatcherService) << QString("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kWatcherTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

}  // namespace

TrayHost::TrayHost()
    : kind_(StatusNotifierHostRegistered() ? Protocol::StatusNotifierItem : Protocol::XEmbed) {}

bool TrayHost::Available() const {
    if (kind_ == Protocol::StatusNotifierItem) {
        return StatusNotifierHostRegistered();
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

}  // namespace velmora
