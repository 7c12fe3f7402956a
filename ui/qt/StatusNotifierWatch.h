#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <cstdint>

class QDBusPendingCallWatcher;

namespace velmora {

// Whether a StatusNotifierItem host shows items, as the watcher on the bus tells it. It is asked
// once, and then learnt from the bus itself: the watcher's name gaining or losing its owner, the
// watcher's host signals, and the hosts' own names leaving the bus (not every watcher says when a
// host goes). After such news the watcher is asked again without waiting. A watcher that is slow
// to answer, or not answering at all, changes nothing: only an answer, or the bus, does.
class StatusNotifierWatch : public QObject {
    Q_OBJECT

  public:
    explicit StatusNotifierWatch(const QDBusConnection& bus, QObject* parent = nullptr);

    bool HostThere() const { return hostThere_; }
    // Asks the watcher and waits for its answer, half a second at most; no answer counts as no
    // host. For a look at start only: the window's thread waits meanwhile.
    void Read();
    // Asks the watcher without waiting; the answer comes as Changed.
    void ReadLater();

  signals:
    void Changed(bool hostThere);

  private Q_SLOTS:
    void HostRegistered();
    void HostUnregistered();
    void NameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

  private:
    void Set(bool there);
    void Answered(QDBusPendingCallWatcher* call, std::uint64_t newsThen);

    QDBusConnection bus_;
    bool hostThere_ = false;
    // Counts what the bus and the watcher have told; an answer asked for before the latest news
    // may be older than it, and is asked for again.
    std::uint64_t news_ = 0;
    bool reading_ = false;
    bool readAgain_ = false;
};

}  // namespace velmora
