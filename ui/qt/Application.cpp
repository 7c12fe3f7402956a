#include "ui/qt/Application.h"

#include <QFont>
#include <QMessageBox>
#include <utility>

#include "ui/common/ErrorReport.h"
#include "ui/common/FormTexts.h"

// A resource file in a static library is linked in only when asked for.
static void InitTrayResources() {
    Q_INIT_RESOURCE(tray);
}

namespace velmora {

namespace {

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
        RunReporting([] { throw; }, [](const std::string& message) { ShowError(message); });
    }
    return false;
}

void TApplication::ShowError(const std::string& message) {
    ShowError(message, [](QMessageBox& box) { box.exec(); });
}

void TApplication::ShowError(const std::string& message,
                             const std::function<void(QMessageBox& box)>& show) {
    ShowOneAtATime(message, [&] {
        QMessageBox box(QMessageBox::Critical, kTitle, QString::fromStdString(message),
                        QMessageBox::Ok);
        box.setObjectName("ErrorBox");
        // With the main window hidden in the tray this box may be the last window: closing it
        // must not end the program.
        box.setAttribute(Qt::WA_QuitOnClose, false);
        show(box);
    });
}

void TApplication::Guarded(const std::function<void()>& action) {
    RunReporting(action, [](const std::string& message) { ShowError(message); });
}

void TApplication::GuardedUnattended(const std::function<void()>& action) {
    RunReporting(action, ReportToStandardError);
}

std::function<void()> TApplication::Guard(std::function<void()> action) {
    return [action = std::move(action)] { Guarded(action); };
}

bool TApplication::ErrorShowing() {
    return ErrorBoxShowing();
}

std::string TApplication::ErrorMessage() {
    return ErrorBoxMessage();
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
