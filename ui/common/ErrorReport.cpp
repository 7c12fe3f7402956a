#include "ui/common/ErrorReport.h"

#include <cstdio>
#include <exception>

namespace velmora {

namespace {

bool errorShowing = false;
std::string errorMessage;

}  // namespace

void RunReporting(const std::function<void()>& action,
                  const std::function<void(const std::string&)>& report) {
    try {
        action();
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("Unknown error.");
    }
}

void ShowOneAtATime(const std::string& message, const std::function<void()>& show) {
    if (errorShowing) {
        return;
    }
    // The box's own events pass the general handler too; a second error is dropped while it is
    // open. A box that fails to show leaves the way open for the next.
    errorShowing = true;
    errorMessage = message;
    struct Reopen {
        ~Reopen() {
            errorShowing = false;
            errorMessage.clear();
        }
    } reopen;
    show();
}

bool ErrorBoxShowing() {
    return errorShowing;
}

std::string ErrorBoxMessage() {
    return errorMessage;
}

void ReportToStandardError(const std::string& message) {
    std::fprintf(stderr, "velmora: %s\n", message.c_str());
    std::fflush(stderr);
}

}  // namespace velmora
