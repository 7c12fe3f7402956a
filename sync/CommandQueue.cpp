#include "sync/CommandQueue.h"

#include <algorithm>

namespace velmora {

void CommandQueue::Push(Command command) {
    if (std::find(waiting_.begin(), waiting_.end(), command) == waiting_.end()) {
        waiting_.push_back(command);
    }
    if (!running_) {
        StartNext();
    }
}

void CommandQueue::Finish() {
    if (!running_) {
        return;
    }
    running_ = false;
    StartNext();
}

void CommandQueue::StartNext() {
    if (waiting_.empty()) {
        return;
    }
    const Command next = waiting_.front();
    waiting_.pop_front();
    running_ = true;
    start_(next);
}

}  // namespace velmora
