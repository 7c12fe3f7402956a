// The workers' thread per job, with a queue standing for the window's thread: each job on a
// thread of its own, what it posts and then its end delivered in order, and nothing delivered
// once the owner is gone.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ui/common/JobThreads.h"

namespace velmora {
namespace {

// The window's thread: what is delivered waits here until the test runs it.
struct Queue {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<JobThreads::Step> steps;

    JobThreads::Deliver Deliver() {
        return [this](JobThreads::Step step) {
            const std::lock_guard lock(mutex);
            steps.push_back(std::move(step));
            arrived.notify_all();
        };
    }
    // Runs what is delivered until `count` steps ran, for at most two seconds.
    int RunSteps(int count) {
        int ran = 0;
        while (ran < count) {
            std::unique_lock lock(mutex);
            if (!arrived.wait_for(lock, std::chrono::seconds(2), [&] { return !steps.empty(); })) {
                break;
            }
            JobThreads::Step step = std::move(steps.front());
            steps.pop_front();
            lock.unlock();
            step();
            ++ran;
        }
        return ran;
    }
};

TEST(JobThreads, PostsThenTheEndInOrderAwayFromTheCaller) {
    Queue queue;
    JobThreads threads(queue.Deliver());
    const auto caller = std::this_thread::get_id();
    std::thread::id jobThread;
    std::vector<int> order;
    threads.Run(
        [&](const JobThreads::Post& post) {
            jobThread = std::this_thread::get_id();
            post([&] { order.push_back(1); });
            post([&] { order.push_back(2); });
        },
        [&] { order.push_back(0); });
    EXPECT_TRUE(threads.Busy());
    EXPECT_EQ(queue.RunSteps(3), 3);
    EXPECT_FALSE(threads.Busy());
    EXPECT_NE(jobThread, caller);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 0}));
}

TEST(JobThreads, EachJobHasAThreadOfItsOwn) {
    Queue queue;
    JobThreads threads(queue.Deliver());
    // The first job waits for the second: on one thread they would never end.
    auto second = std::make_shared<std::promise<void>>();
    std::shared_future<void> secondRan = second->get_future().share();
    threads.Run([secondRan](const JobThreads::Post&) { secondRan.wait(); }, [] {});
    threads.Run([second](const JobThreads::Post&) { second->set_value(); }, [] {});
    EXPECT_EQ(queue.RunSteps(2), 2);
    EXPECT_FALSE(threads.Busy());
}

TEST(JobThreads, NothingIsDeliveredOnceTheOwnerIsGone) {
    Queue queue;
    auto threads = std::make_unique<JobThreads>(queue.Deliver());
    auto release = std::make_shared<std::promise<void>>();
    auto ended = std::make_shared<std::promise<void>>();
    std::future<void> jobEnded = ended->get_future();
    threads->Run(
        [release = release->get_future().share(), ended](const JobThreads::Post& post) {
            release.wait();
            post([] {});
            ended->set_value();
        },
        [] {});
    threads.reset();
    release->set_value();
    jobEnded.wait();
    // The end is sent right after the job; give it the time to come, if it were to.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::lock_guard lock(queue.mutex);
    EXPECT_TRUE(queue.steps.empty());
}

}  // namespace
}  // namespace velmora
