#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "sync/Worker.h"
#include "ui/common/JobThreads.h"
#include "ui/win32/OwnWindow.h"

namespace velmora {

// Runs each job on a thread of its own; what it posts and its end come back to the thread that
// made the worker (the window's), posted to a message-only window of the worker's and run there
// by the message loop, modal loops included. A job still running when this object goes is left
// to end with the process: its end is dropped, and the job itself holds nothing this object owns.
class ThreadWorker : public Worker, private MessageHandler {
  public:
    ThreadWorker();
    ~ThreadWorker() override;
    ThreadWorker(const ThreadWorker&) = delete;
    ThreadWorker& operator=(const ThreadWorker&) = delete;

    void Run(std::function<void(const Post& post)> job, std::function<void()> done) override;
    bool Busy() const override;

    // The window the steps are posted to (for tests).
    HWND Mailbox() const { return mailbox_.Handle(); }

  private:
    LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l) override;
    // Frees the steps still queued for the mailbox, which will never run.
    void DropQueued();

    OwnWindow mailbox_;
    // Goes first, so that nothing is posted to the mailbox once it is being emptied.
    std::unique_ptr<JobThreads> threads_;
};

}  // namespace velmora
