#include "ui/qt/StatusNotifierWatch.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QTimer>
#include <utility>

namespace velmora {

namespace {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kWatcherInterface = "org.kde.StatusNotifierWatcher";
constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
// The look at start holds up the window's thread; a watcher this slow counts as no host there.
constexpr int kStartAnswerMs = 500;
// Asked without waiting, a busy watcher may take its time; a question it leaves open is asked
// again a moment later.
constexpr int kAnswerMs = 5000;
constexpr int kAskAgainMs = 1000;

QDBusMessage HostRegisteredQuery() {
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QString(kWatcherInterface) << QString("IsStatusNotifierHostRegistered");
    // Asked often while no tray is there; it must never start a watcher.
    get.setAutoStartService(false);
    return get;
}

// An error reply (no watcher, no such property) says there is no host; a late one says nothing.
bool HostRegisteredIn(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

bool NoAnswer(const QDBusError& error) {
    return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout;
}

// Hosts take a name of their own (org.kde.StatusNotifierHost-<pid>, say) or register their
// connection's unique name.
bool MayBeAHost(const QString& name) {
    return name.startsWith(':') || name.contains("StatusNotifierHost");
}

}  // namespace

StatusNotifierWatch::StatusNotifierWatch(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus) {
    bus_.connect(kWatcherService, kWatcherPath, kWatcherInterface, "StatusNotifierHostRegistered",
                 this, SLOT(HostRegistered()));
    bus_.connect(kWatcherService, kWatcherPath, kWatcherInterface, "StatusNotifierHostUnregistered",
                 this, SLOT(HostUnregistered()));
    bus_.connect(kBusService, kBusPath, kBusService, "NameOwnerChanged", this,
                 SLOT(NameOwnerChanged(QString, QString, QString)));
}

void StatusNotifierWatch::Read() {
    const QDBusMessage reply = bus_.call(HostRegisteredQuery(), QDBus::Block, kStartAnswerMs);
    // Whatever was asked before is older than this answer.
    ++news_;
    Set(HostRegisteredIn(reply));
}

void StatusNotifierWatch::ReadLater() {
    if (std::exchange(reading_, true)) {
        readAgain_ = true;
        return;
    }
    readAgain_ = false;
    auto* call =
        new QDBusPendingCallWatcher(bus_.asyncCall(HostRegisteredQuery(), kAnswerMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, newsThen = news_](QDBusPendingCallWatcher* done) { Answered(done, newsThen); });
}

void StatusNotifierWatch::Answered(QDBusPendingCallWatcher* call, std::uint64_t newsThen) {
    call->deleteLater();
    reading_ = false;
    if (NoAnswer(call->error())) {
        QTimer::singleShot(kAskAgainMs, this, &StatusNotifierWatch::ReadLater);
    } else if (news_ != newsThen) {
        ReadLater();
    } else {
        Set(HostRegisteredIn(call->reply()));
    }
}

void StatusNotifierWatch::HostRegistered() {
    ++news_;
    Set(true);
}

// Another host may still be there.
void StatusNotifierWatch::HostUnregistered() {
    ++news_;
    ReadLater();
}

void StatusNotifierWatch::NameOwnerChanged(const QString& name, const QString& /*oldOwner*/,
                                           const QString& newOwner) {
    if (name == kWatcherService) {
        ++news_;
        // No watcher, no host; a new watcher is asked, and tells of hosts that come.
        if (newOwner.isEmpty()) {
            Set(false);
        } else {
            ReadLater();
        }
    } else if (newOwner.isEmpty() && hostThere_ && MayBeAHost(name)) {
        ++news_;
        ReadLater();
    }
}

void StatusNotifierWatch::Set(bool there) {
    if (std::exchange(hostThere_, there) != there) {
        emit Changed(there);
    }
}

}  // namespace velmora
