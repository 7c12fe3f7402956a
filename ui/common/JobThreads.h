#pragma once

#include <functional>
#include <memory>

namespace velmora {

// The thread-per-job core both front ends' workers share: each job runs on a thread of its own;
// what it posts, and then its end, go to `deliver`, which queues them for the window's thread in
// the front end's way. Once this object is gone nothing more is delivered: a job still running
// then ends with the process, holding nothing of this object's.
class JobThreads {
  public:
    using Step = std::function<void()>;
    // Queues `step` to run on the window's thread; called on the job's thread, one at a time.
    using Deliver = std::function<void(Step step)>;
    using Post = std::function<void(Step step)>;

    explicit JobThreads(Deliver deliver);
    ~JobThreads();
    JobThreads(const JobThreads&) = delete;
    JobThreads& operator=(const JobThreads&) = delete;

    // `job` on its own thread, then `done` on the window's thread (through `deliver`).
    void Run(std::function<void(const Post& post)> job, Step done);
    // Whether a job has not yet handed its end back (its `done` has not run).
    bool Busy() const;

  private:
    struct Mailbox;
    static void Send(const std::shared_ptr<Mailbox>& mailbox, Step step);

    std::shared_ptr<Mailbox> mailbox_;
};

}  // namespace velmora
