// The window timers over SetTimer under Wine: the rules every Timer keeps, and a tick's error
// that never leaves the window procedure.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <stdexcept>

#include "tests/fixtures/windows/WindowTest.h"
#include "ui/win32/OwnWindow.h"
#include "ui/win32/WindowTimer.h"

namespace velmora {
namespace {

// A window that hands its WM_TIMER to the timer, as the main window does.
class TimerWindow : public MessageHandler {
  public:
    explicit TimerWindow(WindowTimer& timer) : timer_(timer) {
        window_.Listen(this);
        timer_.Attach(window_.Handle(), 7);
    }
    ~TimerWindow() override { window_.Listen(nullptr); }
    LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_TIMER && w == timer_.Id()) {
            timer_.Tick();
            return 0;
        }
        return DefWindowProcW(window, message, w, l);
    }

  private:
    OwnWindow window_{WindowLook{.className = L"Velmora.TimerTest", .parent = HWND_MESSAGE}};
    WindowTimer& timer_;
};

TEST(WindowTimer, RulesOfTheTimer) {
    const struct {
        bool enabled;
        int interval;
        bool running;
    } cases[] = {{true, 50, true}, {true, 0, false}, {true, -5, false}, {false, 50, false}};
    for (const auto& c : cases) {
        WindowTimer timer(c.enabled, c.interval);
        EXPECT_FALSE(timer.Running()) << "runs before it has a window";
        TimerWindow window(timer);
        EXPECT_EQ(timer.Running(), c.running) << c.enabled << " " << c.interval;
        EXPECT_EQ(timer.Enabled(), c.enabled);
        EXPECT_EQ(timer.Interval(), c.interval);
    }
}

TEST(WindowTimer, TicksUntilStopped) {
    WindowTimer timer(true, 20);
    TimerWindow window(timer);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    EXPECT_TRUE(test::PumpUntil([&] { return ticks >= 3; }, 5000));
    timer.SetEnabled(false);
    const int stopped = ticks;
    test::PumpFor(100);
    EXPECT_EQ(ticks, stopped);
    // Interval 0 with the timer enabled never fires.
    timer.SetInterval(0);
    timer.SetEnabled(true);
    test::PumpFor(100);
    EXPECT_EQ(ticks, stopped);
}

// The same setting again leaves the countdown alone: set over and over, the timer still ticks.
// A change restarts it: the tick comes a whole interval after the change, never sooner.
TEST(WindowTimer, OnlyAChangeRestarts) {
    constexpr int kInterval = 600;
    using Clock = std::chrono::steady_clock;
    const auto since = [](Clock::time_point from) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - from).count();
    };
    WindowTimer timer(true, kInterval);
    TimerWindow window(timer);
    int ticks = 0;
    Clock::time_point tick;
    timer.OnTimer = [&] {
        ++ticks;
        tick = Clock::now();
    };
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            timer.SetInterval(kInterval);
            timer.SetEnabled(true);
            return ticks > 0;
        },
        30000))
        << "the same setting restarted the countdown";

    // A round counts when the change came before the old countdown could end (a busy machine
    // may hold the test up past it).
    bool counted = false;
    for (int round = 0; round < 50 && !counted; ++round) {
        const int next = round % 2 == 0 ? kInterval + 1 : kInterval;
        ticks = 0;
        timer.SetEnabled(false);
        const Clock::time_point started = Clock::now();
        timer.SetEnabled(true);
        test::PumpUntil([&] { return ticks > 0 || since(started) >= kInterval / 2; });
        const Clock::time_point changed = Clock::now();
        if (ticks > 0 || changed - started >= std::chrono::milliseconds(kInterval * 3 / 4)) {
            continue;
        }
        timer.SetInterval(next);
        ASSERT_TRUE(test::PumpUntil([&] { return ticks > 0; }, 30000)) << "no tick after a change";
        counted = true;
        EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(tick - changed).count(),
                  next - 30)
            << "a change did not restart the countdown";
    }
    EXPECT_TRUE(counted) << "no round had the change in time";
}

TEST(WindowTimer, AnErrorOfATickIsShownAndTheTimerGoesOn) {
    WindowTimer timer(true, 20);
    TimerWindow window(timer);
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 1) {
            throw std::runtime_error("tick failed");
        }
    };
    test::BoxPresser presser;
    EXPECT_TRUE(test::PumpUntil([&] { return ticks >= 3; }, 5000));
    ASSERT_FALSE(presser.texts.empty());
    EXPECT_EQ(presser.texts[0], "tick failed");
}

}  // namespace
}  // namespace velmora
