// The window timer over QTimer keeps the timer rules: an interval of 0 never fires, and only a
// real change of the enabled state or the interval restarts the countdown.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "ui/QtTimer.h"

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

TEST(QtTimerTest, SettingTheSameValuesKeepsTheCountdown) {
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
    timer.SetEnabled(true);
    timer.SetInterval(150);
    Spin(150);
    ASSERT_GE(firedAt, 0) << "the countdown was restarted";
    EXPECT_LT(firedAt, 230);
}

TEST(QtTimerTest, ChangingTheIntervalRestartsTheCountdown) {
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
    timer.SetInterval(151);
    Spin(250);
    ASSERT_GE(firedAt, 0);
    EXPECT_GE(firedAt, 240);
}

}  // namespace
}  // namespace velmora
