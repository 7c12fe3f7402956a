#include "app/qt/SignalPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <utility>

namespace velmora {

namespace {

// The write end of the pipe for each signal number.
std::array<int, 65> writeEnd = [] {
    std::array<int, 65> ends{};
    ends.fill(-1);
    return ends;
}();

void OnSignal(int signal) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a pending request.
    [[maybe_unused]] const ssize_t n = write(writeEnd[static_cast<std::size_t>(signal)], &byte, 1);
    errno = saved;
}

void Handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> signalNumbers, std::function<void()> action,
                       QObject* parent)
    : QObject(parent), signals_(signalNumbers), action_(std::move(action)) {
    if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalPipe::Drain);
    for (int signal : signals_) {
        writeEnd[static_cast<std::size_t>(signal)] = fds_[1];
        Handle(signal, OnSignal);
    }
}

SignalPipe::~SignalPipe() {
    if (fds_[0] < 0) {
        return;
    }
    for (int signal : signals_) {
        Handle(signal, SIG_DFL);
        writeEnd[static_cast<std::size_t>(signal)] = -1;
    }
    notifier_.reset();
    close(fds_[0]);
    close(fds_[1]);
}

void SignalPipe::Drain() {
    char buffer[16];
    while (read(fds_[0], buffer, sizeof buffer) > 0) {
    }
    if (action_) {
        action_();
    }
}

}  // namespace velmora
