// The worker under Wine: each job on a thread of its own, what it posts and its end back on the
// thread that made the worker, in order, and nothing of it once the worker is gone.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "tests/fixtures/windows/WindowTest.h"
#include "ui/win32/ThreadWorker.h"

namespace velmora {
namespace {

TEST(ThreadWorker, TheEndComesBackToTheWindowsThreadAfterWhatWasPosted) {
    ThreadWorker worker;
    const DWORD windowThread = GetCurrentThreadId();
    DWORD jobThread = 0;
    std::vector<int> order;
    std::vector<DWORD> threads;
    worker.Run(
        [&](const Worker::Post& post) {
            jobThread = GetCurrentThreadId();
            for (int step = 1; step <= 3; ++step) {
                post([&, step] {
                    order.push_back(step);
                    threads.push_back(GetCurrentThreadId());
                });
            }
        },
        [&] {
            order.push_back(0);
            threads.push_back(GetCurrentThreadId());
        });
    EXPECT_TRUE(worker.Busy());
    ASSERT_TRUE(test::PumpUntil([&] { return !worker.Busy(); }));
    EXPECT_NE(jobThread, windowThread);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 0}));
    for (const DWORD thread : threads) {
        EXPECT_EQ(thread, windowThread);
    }
}

// A job still running when the worker goes: its end is dropped (and freed), never run.
TEST(ThreadWorker, AJobOutlivingTheWorkerHandsNothingBack) {
    auto worker = std::make_unique<ThreadWorker>();
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto ended = std::make_shared<std::atomic<bool>>(false);
    bool done = false;
    worker->Run(
        [release, ended](const Worker::Post& post) {
            WaitForSingleObject(release, INFINITE);
            post([] { ADD_FAILURE() << "a step ran after the worker went"; });
            *ended = true;
        },
        [&done] { done = true; });
    worker.reset();
    SetEvent(release);
    while (!*ended) {
        Sleep(5);
    }
    test::PumpFor(100);
    EXPECT_FALSE(done);
    CloseHandle(release);
}

}  // namespace
}  // namespace velmora
