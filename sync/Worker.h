#pragma once

#include <functional>

namespace velmora {

// Runs what may block for long (host lookups, the exchanges with time servers, the wait for
// timedated and polkit) away from the window's thread, and hands the end back to that thread.
class Worker {
  public:
    // Hands a step to the window's thread while the job goes on.
    using Post = std::function<void(std::function<void()>)>;

    virtual ~Worker() = default;
    // Runs `job` on another thread, then `done` on the window's thread; what the job posts runs
    // there too, in order, before `done`. `job` must not throw and touches only what it was given;
    // what it posts and `done` are dropped when the program ends first.
    virtual void Run(std::function<void(const Post& post)> job, std::function<void()> done) = 0;
    // Whether a job has not yet handed its end back.
    virtual bool Busy() const = 0;
};

}  // namespace velmora
