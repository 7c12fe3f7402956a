#include "ui/qt/RunningCopy.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>

#include "tests/fixtures/linux/EnvScope.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

class RunningCopyTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    // A start on another thread, as another process would be, while this thread's event loop
    // lets a copy here answer. Whether it was handed over.
    bool LaterStartHandsOver(const QString& name = "velmora-:9") {
        auto later = std::async(std::launch::async,
                                [&] { return RunningCopy(folder.path(), name).HandedOver(); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return later.wait_for(0s) == std::future_status::ready; },
                                    15000));
        return later.get();
    }

    QString Path(const char* name = "velmora-:9") const { return folder.filePath(name); }

    QTemporaryDir folder;
};

TEST_F(RunningCopyTest, ALaterStartHandsOverToTheCopyOfItsDisplayOnly) {
    auto first = std::make_unique<RunningCopy>(folder.path(), "velmora-:9");
    EXPECT_FALSE(first->HandedOver());
    EXPECT_TRUE(first->Listening());
    int shows = 0;
    QObject::connect(first.get(), &RunningCopy::ShowRequested, [&] { ++shows; });

    RunningCopy elsewhere(folder.path(), "velmora-:8");
    EXPECT_FALSE(elsewhere.HandedOver()) << "another display has a copy of its own";
    EXPECT_TRUE(LaterStartHandsOver());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shows == 1; }, 10000));

    // Once the first copy ends, the next start is the copy.
    first.reset();
    EXPECT_FALSE(LaterStartHandsOver());
}

TEST_F(RunningCopyTest, ACopyThatStartsToEndIsNeverHandedTheStart) {
    RunningCopy first(folder.path(), "velmora-:9");
    int shows = 0;
    QObject::connect(&first, &RunningCopy::ShowRequested, [&] { ++shows; });
    first.Stop();
    RunningCopy next(folder.path(), "velmora-:9");
    EXPECT_FALSE(next.HandedOver());
    EXPECT_TRUE(next.Listening()) << "the start became the copy";
    QTest::qWait(50);
    EXPECT_EQ(shows, 0);
}

TEST_F(RunningCopyTest, AStartWhileACopyEndsWaitsForItsLockAndThenBecomesTheCopy) {
    auto first = std::make_unique<RunningCopy>(folder.path(), "velmora-:9");
    int shows = 0;
    QObject::connect(first.get(), &RunningCopy::ShowRequested, [&] { ++shows; });
    // The copy starts to quit: it stops answering, and saves its settings under the lock.
    first->StopAnswering();
    EXPECT_FALSE(first->Listening());
    auto later = std::async(std::launch::async, [this] {
        RunningCopy copy(folder.path(), "velmora-:9");
        return !copy.HandedOver() && copy.Listening();
    });
    QTest::qWait(300);
    EXPECT_EQ(later.wait_for(0s), std::future_status::timeout) << "the start did not wait";
    first->Stop();
    EXPECT_TRUE(later.get()) << "the start became the copy once the save was done";
    QTest::qWait(50);
    EXPECT_EQ(shows, 0);
}

TEST_F(RunningCopyTest, WhatADeadCopyLeftKeepsNoStartFromBecomingTheCopy) {
    // A socket left by a copy that was killed: bound, never removed, nobody listening.
    const int stale = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(Path()).constData(),
                 sizeof address.sun_path - 1);
    ASSERT_EQ(bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(stale);
    RunningCopy next(folder.path(), "velmora-:9");
    EXPECT_FALSE(next.HandedOver());
    EXPECT_TRUE(next.Listening());
}

TEST_F(RunningCopyTest, AStartWaitsForACopyBetweenItsLockAndItsSocket) {
    // The lock is held with no socket to answer: a copy starting, or one that is closing.
    const int lock = open(QFile::encodeName(Path() + ".lock").constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    auto later = std::async(std::launch::async, [this] {
        RunningCopy copy(folder.path(), "velmora-:9");
        return !copy.HandedOver() && copy.Listening();
    });
    QTest::qWait(300);
    close(lock);
    EXPECT_TRUE(later.get()) << "the start became the copy once the lock was let go";
}

TEST_F(RunningCopyTest, ADisplayNamedByALongPathStillGivesASocketThatWorks) {
    const QString longer = "/" + QString(70, u'd') + "/wayland-1";
    QString names[2];
    for (int i = 0; i < 2; ++i) {
        const EnvScope display("DISPLAY", (longer + QString::number(i)).toUtf8().constData());
        names[i] = RunningCopy::SessionName();
    }
    EXPECT_NE(names[0], names[1]);
    RunningCopy first(folder.path(), names[0]);
    EXPECT_TRUE(first.Listening()) << names[0].toStdString();
    EXPECT_TRUE(LaterStartHandsOver(names[0]));
}

TEST_F(RunningCopyTest, AFolderTooDeepForASocketLeavesEveryStartOnItsOwn) {
    const QString deep = folder.filePath(QString(60, u'f') + "/" + QString(60, u'g'));
    ASSERT_TRUE(QDir().mkpath(deep));
    RunningCopy first(deep, "velmora-:9");
    RunningCopy second(deep, "velmora-:9");
    for (const RunningCopy* copy : {&first, &second}) {
        EXPECT_FALSE(copy->HandedOver());
        EXPECT_FALSE(copy->Listening());
    }
}

}  // namespace
}  // namespace velmora
