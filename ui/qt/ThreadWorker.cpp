#include "ui/qt/ThreadWorker.h"

#include <QMetaObject>
#include <mutex>
#include <thread>

namespace velmora {

// Where a finished job leaves its end: shared with the job's thread, which may outlive the
// worker.
struct ThreadWorker::Mailbox {
    std::mutex mutex;
    QObject* receiver = nullptr;
    int running = 0;
};

ThreadWorker::ThreadWorker(QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->receiver = this;
}

ThreadWorker::~ThreadWorker() {
    const std::lock_guard lock(mailbox_->mutex);
    mailbox_->receiver = nullptr;
}

void ThreadWorker::Run(std::function<void(const Post& post)> job, std::function<void()> done) {
    {
        const std::lock_guard lock(mailbox_->mutex);
        ++mailbox_->running;
    }
    std::thread([mailbox = mailbox_, job = std::move(job), done = std::move(done)] {
        job([&mailbox](std::function<void()> step) { Deliver(mailbox, std::move(step)); });
        Deliver(mailbox, [mailbox, done] {
            {
                const std::lock_guard lock(mailbox->mutex);
                --mailbox->running;
            }
            done();
        });
    }).detach();
}

// Queued to the receiver's thread, and dropped there should the receiver go first.
void ThreadWorker::Deliver(const std::shared_ptr<Mailbox>& mailbox, std::function<void()> step) {
    const std::lock_guard lock(mailbox->mutex);
    if (mailbox->receiver != nullptr) {
        QMetaObject::invokeMethod(mailbox->receiver, std::move(step), Qt::QueuedConnection);
    }
}

bool ThreadWorker::Busy() const {
    const std::lock_guard lock(mailbox_->mutex);
    return mailbox_->running > 0;
}

}  // namespace velmora
