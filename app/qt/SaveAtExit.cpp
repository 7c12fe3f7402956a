#include "app/qt/SaveAtExit.h"

#include <QtGlobal>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace velmora {

namespace {

// Guards `pending`: the save may be asked for on another thread while the instance goes.
std::mutex pendingMutex;
std::function<void()>* pending = nullptr;
QtMessageHandler previousHandler = nullptr;

void RunPending() {
    const std::lock_guard<std::mutex> lock(pendingMutex);
    if (std::function<void()>* save = std::exchange(pending, nullptr)) {
        (*save)();
    }
}

// Qt's message goes out as it always would; then, when the process is about to end, the save.
void WatchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (previousHandler) {
        previousHandler(type, context, message);
    }
    if (SaveAtExit::EndsTheProcess(message)) {
        RunPending();
    }
}

}  // namespace

SaveAtExit::SaveAtExit(std::function<void()> save) : save_(std::move(save)) {
    static const bool registered = std::atexit(RunPending) == 0;
    static_cast<void>(registered);
    {
        const std::lock_guard<std::mutex> lock(pendingMutex);
        pending = &save_;
    }
    previousHandler = qInstallMessageHandler(WatchMessages);
}

SaveAtExit::~SaveAtExit() {
    qInstallMessageHandler(previousHandler);
    const std::lock_guard<std::mutex> lock(pendingMutex);
    if (pending == &save_) {
        pending = nullptr;
    }
}

bool SaveAtExit::EndsTheProcess(const QString& message) {
    // Qt 6's words before its _exit(1) (Wayland) and exit(1) (X11, through xcb or Xlib).
    static const char* const kLastWords[] = {
        "The Wayland connection broke",
        "The Wayland connection experienced a fatal error",
        "The X11 connection broke",
    };
    for (const char* words : kLastWords) {
        if (message.startsWith(QLatin1String(words))) {
            return true;
        }
    }
    return false;
}

}  // namespace velmora
