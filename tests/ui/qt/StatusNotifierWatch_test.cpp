#include "ui/qt/StatusNotifierWatch.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace velmora {
namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";

// A session bus of the test's own, with the real watcher (status-notifier-watcher) on it; hosts
// are connections of the test's own that register with it, as a tray's bar does.
class WatchTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString config = dir.filePath("bus.conf");
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QString(R"(<busconfig><type>session</type>
            <listen>unix:path=%1</listen><auth>EXTERNAL</auth>
            <policy context="default"><allow user="*"/><allow send_destination="*" eavesdrop="true"/>
            <allow eavesdrop="true"/><allow own="*"/></policy>
            </busconfig>)")
                       .arg(dir.filePath("bus"))
                       .toUtf8());
        file.close();
        daemon.start("dbus-daemon",
                     {"--config-file=" + config, "--nofork", "--nopidfile", "--print-address"});
        ASSERT_TRUE(daemon.waitForReadyRead(10000)) << "dbus-daemon did not start";
        address = QString::fromUtf8(daemon.readLine().trimmed());
        StartWatcher();
        watchBus = Connect();
        watchName = watchBus.baseService();
        watch = std::make_unique<StatusNotifierWatch>(watchBus);
        told = std::make_unique<QSignalSpy>(watch.get(), &StatusNotifierWatch::Changed);
        StartMonitor();
    }

    void TearDown() override {
        told.reset();
        watch.reset();
        for (const QString& name : connections) {
            QDBusConnection::disconnectFromBus(name);
        }
        for (QProcess* process : {&monitor, &watcher, &daemon}) {
            if (process->state() != QProcess::NotRunning) {
                Signal(*process, SIGCONT);
                process->kill();
                process->waitForFinished();
            }
        }
    }

    static void Signal(const QProcess& process, int signal) {
        ASSERT_GT(process.processId(), 0);
        ::kill(static_cast<pid_t>(process.processId()), signal);
    }

    void StartWatcher() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        watcher.setProcessEnvironment(environment);
        watcher.setStandardOutputFile(QProcess::nullDevice());
        watcher.setStandardErrorFile(QProcess::nullDevice());
        watcher.start("status-notifier-watcher", {});
        ASSERT_TRUE(watcher.waitForStarted()) << "no status-notifier-watcher";
        // The name comes before the watcher's object: ready once it answers.
        QDBusConnection bus = Connect();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Asked(bus); }, 10000))
            << "the watcher never answers";
    }

    // Whether the watcher answers BUS's question about its hosts, as the watch asks it.
    static bool Asked(const QDBusConnection& bus) {
        QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, "/StatusNotifierWatcher",
                                                          "org.freedesktop.DBus.Properties", "Get");
        get << QString(kWatcher) << QString("IsStatusNotifierHostRegistered");
        return bus.call(get, QDBus::Block, 1000).type() == QDBusMessage::ReplyMessage;
    }

    // Watches the questions put to the watcher (dbus-monitor), from once it sees them.
    void StartMonitor() {
        monitor.setProcessChannelMode(QProcess::MergedChannels);
        monitor.start("dbus-monitor",
                      {"--address", address,
                       "type='method_call',destination='" + QString(kWatcher) + "',member='Get'"});
        ASSERT_TRUE(monitor.waitForStarted()) << "no dbus-monitor";
        QDBusConnection bus = Connect();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return Asked(bus) && QuestionsFrom(bus.baseService()) > 0; }, 10000));
    }

    // How many questions the connection named SENDER has put to the watcher so far.
    int QuestionsFrom(const QString& sender) {
        monitored += QString::fromUtf8(monitor.readAll());
        return static_cast<int>(monitored.count(" sender=" + sender + " "));
    }

    // A connection of the test's own to its bus; it leaves the bus with Leave(name).
    QDBusConnection Connect(const QString& name = {}) {
        const QString connection = name.isEmpty() ? QString("c%1").arg(connections.size()) : name;
        connections << connection;
        return QDBusConnection::connectToBus(address, connection);
    }

    // A host that takes NAME and registers it with the watcher, on a connection of that name.
    void Host(const QString& name) {
        QDBusConnection host = Connect(name);
        ASSERT_TRUE(host.registerService(name));
        QDBusMessage call = QDBusMessage::createMethodCall(kWatcher, "/StatusNotifierWatcher",
                                                           kWatcher, "RegisterStatusNotifierHost");
        call << name;
        const QDBusMessage reply = host.call(call, QDBus::Block, 5000);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }

    void Leave(const QString& name) {
        QDBusConnection::disconnectFromBus(name);
        connections.removeAll(name);
    }

    // Waits until the watch has put a question to the watcher beyond the BEFORE it had put, and
    // has its answer: the watcher answers in turn, so once it has answered one more question on
    // the watch's own connection, the watch's answer has come in before it.
    bool Answered(int before) {
        if (!QTest::qWaitFor([&] { return QuestionsFrom(watchName) > before; }, 10000) ||
            !Asked(watchBus)) {
            return false;
        }
        QCoreApplication::processEvents();
        return true;
    }

    bool HostThereSoon(bool there) {
        return QTest::qWaitFor([&] { return watch->HostThere() == there; }, 10000);
    }

    QTemporaryDir dir;
    QProcess daemon;
    QProcess watcher;
    QProcess monitor;
    QString monitored;
    QString address;
    // The watch's connection, and its name on the bus.
    QDBusConnection watchBus{QString()};
    QString watchName;
    QStringList connections;
    std::unique_ptr<StatusNotifierWatch> watch;
    std::unique_ptr<QSignalSpy> told;
};

TEST_F(WatchTest, HostsComingAndGoingAreToldByTheBusAndTheWatcher) {
    watch->Read();
    EXPECT_FALSE(watch->HostThere()) << "a watcher with no host";
    Host("org.kde.StatusNotifierHost-1");
    EXPECT_TRUE(HostThereSoon(true));
    Host("org.kde.StatusNotifierHost-2");
    const int asked = QuestionsFrom(watchName);
    Leave("org.kde.StatusNotifierHost-1");
    ASSERT_TRUE(Answered(asked)) << "a host's going did not have the watcher asked";
    EXPECT_TRUE(watch->HostThere()) << "the other host is still there";
    Leave("org.kde.StatusNotifierHost-2");
    EXPECT_TRUE(HostThereSoon(false)) << "this watcher never says a host went";
    ASSERT_EQ(told->size(), 2);
    EXPECT_EQ(told->at(1).at(0).toBool(), false);
}

TEST_F(WatchTest, ABusyWatcherChangesNothing) {
    Host("org.kde.StatusNotifierHost-1");
    ASSERT_TRUE(HostThereSoon(true));
    const int before = QuestionsFrom(watchName);
    Signal(watcher, SIGSTOP);
    // News that has the watcher asked again; the question goes unanswered for longer than it
    // waits, and is put again.
    Connect("passer-by");
    Leave("passer-by");
    const auto askedAgain = [&] { return QuestionsFrom(watchName) >= before + 2; };
    (void)QTest::qWaitFor([&] { return askedAgain() || !watch->HostThere(); }, 60000);
    ASSERT_TRUE(watch->HostThere()) << "no answer is no news";
    ASSERT_TRUE(askedAgain()) << "the unanswered question was not put again";
    Signal(watcher, SIGCONT);
    ASSERT_TRUE(Answered(before + 1));
    EXPECT_TRUE(watch->HostThere());
    EXPECT_EQ(told->size(), 1) << "nothing told but the host's coming";
    Leave("org.kde.StatusNotifierHost-1");
    EXPECT_TRUE(HostThereSoon(false)) << "followed as before the hiccup";
}

TEST_F(WatchTest, TheWatcherGoingTakesItsHostsAndTheNextOneIsFollowed) {
    Host("org.kde.StatusNotifierHost-1");
    ASSERT_TRUE(HostThereSoon(true));
    watcher.kill();
    watcher.waitForFinished();
    EXPECT_TRUE(HostThereSoon(false));
    Leave("org.kde.StatusNotifierHost-1");
    const int asked = QuestionsFrom(watchName);
    StartWatcher();
    ASSERT_TRUE(Answered(asked)) << "a new watcher was not asked";
    EXPECT_FALSE(watch->HostThere()) << "a new watcher, no host yet";
    Host("org.kde.StatusNotifierHost-2");
    EXPECT_TRUE(HostThereSoon(true));
}

}  // namespace
}  // namespace velmora
