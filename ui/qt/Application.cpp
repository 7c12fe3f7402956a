#include "ui/qt/Application.h"

#include <QFont>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <utility>

#include "ui/common/FormTexts.h"

// A resource file in a static library is linked in only when asked for.
static void InitTrayResources() {
    Q_INIT_RESOURCE(tray);
}

namespace velmora {

namespace {

bool errorShowing = false;
std::string errorMessage;
bool quitting = false;

// The forms are laid out for "MS Sans Serif" 8 pt at 96 dpi; where it is missing, a condensed
// sans serif a pixel smaller stands in, so the designed geometry still holds the captions.
QFont FormFont() {
    QFont::insertSubstitutions("MS Sans Serif",
                               {"DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans"});
    QFont font("MS Sans Serif");
    font.setPixelSize(10);
    return font;
}

void ReportCurrentException(void (*report)(const std::string&) = TApplication::ShowError) {
    try {
        throw;
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("Unknown error.");
    }
}

void ReportToStandardError(const std::string& message) {
    std::fprintf(stderr, "velmora: %s\n", message.c_str());
}

// Runs `action`; an error it raises goes to `report`.
void RunReporting(const std::function<void()>& action, void (*report)(const std::string&)) {
    try {
        action();
    } catch (...) {
        ReportCurrentException(report);
    }
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InitTrayResources();
    setApplicationName(kTitle);
    setFont(FormFont());
    QFont::insertSubstitutions("Times New Roman",
                               {"Liberation Serif", "Nimbus Roman", "DejaVu Serif", "Serif"});
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentException();
    }
    return false;
}

void TApplication::ShowError(const std::string& message) {
    ShowError(message, [](QMessageBox& box) { box.exec(); });
}

void TApplication::ShowError(const std::string& message,
                             const std::function<void(QMessageBox& box)>& show) {
    if (errorShowing) {
        return;
    }
    // The box's own events pass notify() too; a second error is dropped while it is open.
    errorShowing = true;
    errorMessage = message;
    struct Reopen {
        ~Reopen() {
            errorShowing = false;
            errorMessage.clear();
        }
    } reopen;
    QMessageBox box(QMessageBox::Critical, kTitle, QString::fromStdString(message),
                    QMessageBox::Ok);
    box.setObjectName("ErrorBox");
    // With the main window hidden in the tray this box may be the last window: closing it must
    // not end the program.
    box.setAttribute(Qt::WA_QuitOnClose, false);
    show(box);
}

void TApplication::Guarded(const std::function<void()>& action) {
    RunReporting(action, ShowError);
}

void TApplication::GuardedUnattended(const std::function<void()>& action) {
    RunReporting(action, ReportToStandardError);
}

std::function<void()> TApplication::Guard(std::function<void()> action) {
    return [action = std::move(action)] { Guarded(action); };
}

bool TApplication::ErrorShowing() {
    return errorShowing;
}

std::string TApplication::ErrorMessage() {
    return errorMessage;
}

bool TApplication::Quitting() {
    return quitting;
}

bool TApplication::event(QEvent* event) {
    if (event->type() != QEvent::Quit) {
        return QApplication::event(event);
    }
    const bool outer = std::exchange(quitting, true);
    const bool handled = QApplication::event(event);
    quitting = outer;
    return handled;
}

}  // namespace velmora
