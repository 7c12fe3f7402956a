#include "app/SaveAtExit.h"

#include <cstdlib>
#include <utility>

namespace velmora {

namespace {

std::function<void()>* pending = nullptr;

void RunPending() {
    if (std::function<void()>* save = std::exchange(pending, nullptr)) {
        (*save)();
    }
}

}  // namespace

SaveAtExit::SaveAtExit(std::function<void()> save) : save_(std::move(save)) {
    static const bool registered = std::atexit(RunPending) == 0;
    static_cast<void>(registered);
    pending = &save_;
}

SaveAtExit::~SaveAtExit() {
    if (pending == &save_) {
        pending = nullptr;
    }
}

}  // namespace velmora
