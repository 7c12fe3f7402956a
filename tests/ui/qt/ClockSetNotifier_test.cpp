#include "ui/qt/ClockSetNotifier.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace velmora {
namespace {

// Runs the event loop until `done` or two seconds have passed.
template <typename Done>
bool Within(Done done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// A pipe stands in for the timerfd: a byte in it is the kernel's word, and `take` says whether
// it was a setting of the clock.
TEST(ClockSetNotifier, TellsEachSettingOnTheWindowsThread) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    bool setting = true;
    int takes = 0;
    ClockSetNotifier notifier(ends[0], [&] {
        char byte;
        ++takes;
        return read(ends[0], &byte, 1) == 1 && setting;
    });
    int told = 0;
    QObject::connect(&notifier, &ClockSetNotifier::ClockWasSet, [&] { ++told; });
    for (const bool wasSetting : {true, false, true}) {
        setting = wasSetting;
        const int before = takes;
        ASSERT_EQ(write(ends[1], "x", 1), 1);
        EXPECT_TRUE(Within([&] { return takes > before; }));
    }
    EXPECT_EQ(told, 2);
    close(ends[0]);
    close(ends[1]);
    // Without a descriptor it never tells, and asks nothing.
    ClockSetNotifier none(-1, [] {
        ADD_FAILURE() << "asked without a descriptor";
        return true;
    });
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace velmora
