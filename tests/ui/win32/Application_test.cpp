// The general error handler under Wine: one box at a time, titled "Velmora"; an error in a
// window procedure shown there and never let through Windows' code.

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "tests/fixtures/windows/WindowTest.h"
#include "ui/win32/Application.h"
#include "ui/win32/OwnWindow.h"

namespace velmora {
namespace {

// Throws on WM_CLOSE and WM_USER; a second error while the first box is open comes from a
// message sent under the box.
class Throwing : public MessageHandler {
  public:
    LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_CLOSE) {
            throw std::runtime_error("closing failed");
        }
        if (message == WM_USER) {
            throw std::runtime_error("second");
        }
        return DefWindowProcW(window, message, w, l);
    }
};

TEST(Application, AnErrorInAWindowProcedureIsShownAndTheWindowStays) {
    OwnWindow window(WindowLook{.className = L"Velmora.ThrowTest", .style = WS_POPUP});
    Throwing handler;
    window.Listen(&handler);
    test::BoxPresser presser;
    EXPECT_EQ(SendMessageW(window.Handle(), WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window.Handle())) << "the failed close went on to destroy it";
    ASSERT_EQ(presser.texts.size(), 1u);
    EXPECT_EQ(presser.texts[0], "closing failed");
    EXPECT_EQ(presser.titles[0], "Velmora");
    window.Listen(nullptr);
}

TEST(Application, OneErrorBoxAtATime) {
    OwnWindow window(WindowLook{.className = L"Velmora.ThrowTest", .style = WS_POPUP});
    Throwing handler;
    window.Listen(&handler);
    test::BoxPresser presser;
    int shown = 0;
    // While the first box is open, a timer sends the window a message that fails too.
    const UINT_PTR timer = SetTimer(window.Handle(), 1, 10, [](HWND w, UINT, UINT_PTR, DWORD) {
        KillTimer(w, 1);
        SendMessageW(w, WM_USER, 0, 0);
    });
    TApplication::Guarded([&] {
        ++shown;
        throw std::runtime_error("first");
    });
    KillTimer(window.Handle(), timer);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(presser.mostOpen, 1);
    ASSERT_EQ(presser.texts.size(), 1u);
    EXPECT_EQ(presser.texts[0], "first");
    EXPECT_FALSE(TApplication::ErrorShowing());
    window.Listen(nullptr);
}

TEST(Application, UnattendedErrorsGoToStandardError) {
    test::BoxPresser presser;
    ::testing::internal::CaptureStderr();
    TApplication::GuardedUnattended([] { throw std::runtime_error("Unable to write to X"); });
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "velmora: Unable to write to X\n");
    test::PumpFor(60);
    EXPECT_TRUE(presser.texts.empty());
}

TEST(Application, AQuestionIsAskedWithNoAsTheDefault) {
    for (const int answer : {IDYES, IDNO}) {
        test::BoxPresser presser(answer);
        EXPECT_EQ(TApplication::AskYesNo(nullptr, "Set the clock?"), answer == IDYES);
        ASSERT_EQ(presser.texts.size(), 1u);
        EXPECT_EQ(presser.texts[0], "Set the clock?");
        EXPECT_EQ(presser.defaults[0], IDNO);
    }
}

}  // namespace
}  // namespace velmora
