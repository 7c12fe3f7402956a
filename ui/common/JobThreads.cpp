#include "ui/common/JobThreads.h"

#include <mutex>
#include <thread>
#include <utility>

namespace velmora {

// Where a job leaves what it hands back: shared with the job's thread, which may outlive the
// owner.
struct JobThreads::Mailbox {
    std::mutex mutex;
    Deliver deliver;
    int running = 0;
};

JobThreads::JobThreads(Deliver deliver) : mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->deliver = std::move(deliver);
}

JobThreads::~JobThreads() {
    const std::lock_guard lock(mailbox_->mutex);
    mailbox_->deliver = nullptr;
}

void JobThreads::Run(std::function<void(const Post& post)> job, Step done) {
    {
        const std::lock_guard lock(mailbox_->mutex);
        ++mailbox_->running;
    }
    std::thread([mailbox = mailbox_, job = std::move(job), done = std::move(done)] {
        job([&mailbox](Step step) { Send(mailbox, std::move(step)); });
        Send(mailbox, [mailbox, done] {
            {
                const std::lock_guard lock(mailbox->mutex);
                --mailbox->running;
            }
            done();
        });
    }).detach();
}

// Under the lock, so that the owner going away waits for a delivery under way and sees no other.
void JobThreads::Send(const std::shared_ptr<Mailbox>& mailbox, Step step) {
    const std::lock_guard lock(mailbox->mutex);
    if (mailbox->deliver) {
        mailbox->deliver(std::move(step));
    }
}

bool JobThreads::Busy() const {
    const std::lock_guard lock(mailbox_->mutex);
    return mailbox_->running > 0;
}

}  // namespace velmora
