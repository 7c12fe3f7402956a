#include "ui/qt/ThreadWorker.h"

#include <QMetaObject>
#include <utility>

namespace velmora {

// Queued to this object's thread; Qt drops what is still queued when the object goes.
ThreadWorker::ThreadWorker(QObject* parent)
    : QObject(parent), threads_([this](JobThreads::Step step) {
          QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
      }) {}

void ThreadWorker::Run(std::function<void(const Post& post)> job, std::function<void()> done) {
    threads_.Run(std::move(job), std::move(done));
}

bool ThreadWorker::Busy() const {
    return threads_.Busy();
}

}  // namespace velmora
