#include "platform/windows/OneCopy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace velmora {
namespace {

std::wstring Unique(const wchar_t* what) {
    return std::wstring(what) + std::to_wstring(GetCurrentProcessId());
}

TEST(OneCopy, TheFirstCopyOfTheSessionHoldsTheMutexUntilItEnds) {
    const std::wstring name = L"Local\\" + Unique(L"Velmora.Test.");
    {
        const SessionCopy first(name.c_str());
        EXPECT_TRUE(first.First());
        const SessionCopy second(name.c_str());
        EXPECT_FALSE(second.First());
    }
    EXPECT_TRUE(SessionCopy(name.c_str()).First());
}

// The first copy's listener on a thread of its own with a message loop, as the first copy's
// window thread would run it; a second start's request ends that loop.
TEST(OneCopy, ASecondStartFindsTheFirstCopyAndAsksItToComeToTheFront) {
    const std::wstring windowClass = Unique(L"Velmora.Test.OneCopy.");
    EXPECT_FALSE(ShowFirstCopy(windowClass.c_str()));
    std::atomic<int> ready{0};
    std::atomic<int> shown{0};
    std::thread first([&] {
        ShowRequests listener(
            [&] {
                ++shown;
                PostQuitMessage(0);
            },
            windowClass.c_str());
        ready = listener.Listening() ? 1 : -1;
        // Ends with the request, or after ten seconds without one.
        SetTimer(nullptr, 0, 10000, nullptr);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
            DispatchMessageW(&message);
        }
    });
    while (ready == 0) {
        Sleep(1);
    }
    if (ready != 1) {
        first.join();
        FAIL() << "no listening window";
    }
    EXPECT_TRUE(ShowFirstCopy(windowClass.c_str()));
    first.join();
    EXPECT_EQ(shown, 1);
    // Gone with the first copy.
    EXPECT_FALSE(ShowFirstCopy(windowClass.c_str()));
    EXPECT_NE(ShowRequestMessage(), 0u);
}

}  // namespace
}  // namespace velmora
