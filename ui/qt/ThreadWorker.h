#pragma once

#include <QObject>
#include <functional>

#include "sync/Worker.h"
#include "ui/common/JobThreads.h"

namespace velmora {

// Runs each job on a thread of its own, and what it posts and its end on the window's thread,
// through the event loop. A job still running when this object goes is left to end with the
// process: its end is dropped, and the job itself holds nothing this object owns.
class ThreadWorker : public QObject, public Worker {
    Q_OBJECT

  public:
    explicit ThreadWorker(QObject* parent = nullptr);

    void Run(std::function<void(const Post& post)> job, std::function<void()> done) override;
    bool Busy() const override;

  private:
    JobThreads threads_;
};

}  // namespace velmora
