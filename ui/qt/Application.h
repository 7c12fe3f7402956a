#pragma once

#include <QApplication>
#include <QMessageBox>
#include <functional>
#include <string>

namespace velmora {

// The application with the general error handler: every event that enters our code from Qt runs
// inside notify(), so an exception thrown there ends up in one message box and the program goes
// on.
class TApplication : public QApplication {
    Q_OBJECT

  public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows `message` in the application's error box. While one such box is open, further
    // messages are dropped, so errors from timers firing under the box never stack boxes.
    static void ShowError(const std::string& message);
    // ShowError with the showing of the box given; a failure to show it leaves the way open for
    // the next box. (Tests give one that fails.)
    static void ShowError(const std::string& message,
                          const std::function<void(QMessageBox& box)>& show);

    // Runs `action` inside the general error handler, for code Qt calls outside an event.
    static void Guarded(const std::function<void()>& action);
    // Runs `action`; an error goes to standard error instead of a box, for the ways out on which
    // nobody may be there to close one (a signal, the session's end, the display gone).
    static void GuardedUnattended(const std::function<void()>& action);
    // `action` made into a slot that runs inside the general error handler. Qt's own code is not
    // exception-safe: a handler connected this way never unwinds through it, so nothing leaks.
    static std::function<void()> Guard(std::function<void()> action);

    // True while the error box is open.
    static bool ErrorShowing();
    // The message of the error box while it is open, else "".
    static std::string ErrorMessage();

    // True while the application handles a request to quit: the program's own, a signal's, or
    // the session manager's at the session's end. Qt closes every window then.
    static bool Quitting();

  protected:
    bool event(QEvent* event) override;
};

}  // namespace velmora
