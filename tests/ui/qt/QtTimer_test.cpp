// The window timer over QTimer keeps the timer rules: an interval of 0 never fires, and only a
// real change of the enabled state or the interval restarts the countdown.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

#include "ui/qt/QtTimer.h"

namespace velmora {
namespace {

// Runs the event loop for `ms` milliseconds.
void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(QtTimerTest, ZeroOrNegativeIntervalNeverFiresEvenEnabled) {
    for (std::int32_t interval : {0, -5}) {
        QtTimer timer(true, interval);
        int ticks = 0;
        timer.OnTimer = [&] { ++ticks; };
        Spin(60);
        EXPECT_EQ(ticks, 0);
        EXPECT_TRUE(timer.Enabled());
        EXPECT_FALSE(timer.Running());
    }
}

TEST(QtTimerTest, DisabledTimerDoesNotFireAndKeepsItsInterval) {
    QtTimer timer(false, 10);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    Spin(60);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(timer.Interval(), 10);
    timer.SetEnabled(true);
    Spin(60);
    EXPECT_GT(ticks, 0);
}

// Milliseconds from the start of a running 150 ms timer to its first tick, when `change` is
// applied 100 ms in; -1 when it did not tick within `waitMs` after the change.
qint64 FirstTickWithChangeAt100(const std::function<void(QtTimer&)>& change, int waitMs) {
    QtTimer timer(true, 150);
    QElapsedTimer clock;
    clock.start();
    qint64 firedAt = -1;
    timer.OnTimer = [&] {
        if (firedAt < 0) {
            firedAt = clock.elapsed();
        }
    };
    Spin(100);
    change(timer);
    Spin(waitMs);
    return firedAt;
}

TEST(QtTimerTest, SettingTheSameValuesKeepsTheCountdown) {
    const qint64 firedAt = FirstTickWithChangeAt100(
        [](QtTimer& timer) {
            timer.SetEnabled(true);
            timer.SetInterval(150);
        },
        150);
    ASSERT_GE(firedAt, 0) << "the countdown was restarted";
    EXPECT_LT(firedAt, 230);
}

TEST(QtTimerTest, ChangingTheIntervalRestartsTheCountdown) {
    const qint64 firedAt =
        FirstTickWithChangeAt100([](QtTimer& timer) { timer.SetInterval(151); }, 250);
    ASSERT_GE(firedAt, 0);
    EXPECT_GE(firedAt, 240);
}

}  // namespace
}  // namespace velmora
