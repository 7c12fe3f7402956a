#include "ui/win32/ThreadWorker.h"

#include <memory>
#include <utility>

#include "ui/win32/Application.h"

namespace velmora {

namespace {

constexpr UINT kRunStep = WM_APP + 1;

using Step = JobThreads::Step;

}  // namespace

ThreadWorker::ThreadWorker()
    : mailbox_(WindowLook{.className = L"Velmora.Worker", .parent = HWND_MESSAGE}),
      threads_(std::make_unique<JobThreads>([window = mailbox_.Handle()](Step step) {
          auto* posted = new Step(std::move(step));
          if (!PostMessageW(window, kRunStep, 0, reinterpret_cast<LPARAM>(posted))) {
              delete posted;
          }
      })) {
    mailbox_.Listen(this);
}

ThreadWorker::~ThreadWorker() {
    threads_.reset();
    mailbox_.Listen(nullptr);
    DropQueued();
}

void ThreadWorker::Run(std::function<void(const Post& post)> job, std::function<void()> done) {
    threads_->Run(std::move(job), std::move(done));
}

bool ThreadWorker::Busy() const {
    return threads_->Busy();
}

LRESULT ThreadWorker::Handle(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == kRunStep) {
        const std::unique_ptr<Step> step(reinterpret_cast<Step*>(l));
        (*step)();
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

void ThreadWorker::DropQueued() {
    MSG queued{};
    while (PeekMessageW(&queued, mailbox_.Handle(), kRunStep, kRunStep, PM_REMOVE)) {
        delete reinterpret_cast<Step*>(queued.lParam);
    }
}

}  // namespace velmora
