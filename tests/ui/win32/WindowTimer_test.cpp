// The window timers over SetTimer under Wine: the rules every Timer keeps, and a tick's error
// that never leaves the window procedure.

#include <gtest/gtest.h>

#include <windows.h>

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

// A change restarts the countdown; the same setting again leaves it alone.
TEST(WindowTimer, OnlyAChangeRestarts) {
    WindowTimer timer(true, 150);
    TimerWindow window(timer);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    for (int i = 0; i < 6; ++i) {
        test::PumpFor(40);
        timer.SetInterval(150);
        timer.SetEnabled(true);
    }
    EXPECT_GE(ticks, 1) << "the same setting restarted the countdown";
    const int before = ticks;
    for (int i = 0; i < 6; ++i) {
        test::PumpFor(40);
        timer.SetInterval(i % 2 == 0 ? 151 : 150);
    }
    EXPECT_EQ(ticks, before) << "a change did not restart the countdown";
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
