// velmora-probe: Velmora with a probe for end-to-end tests. On SIGUSR1 it writes the texts of the
// main window's fields, labels and status line, and its state, as KEY=VALUE lines into the file
// VELMORA_PROBE_OUT names, else velmora-probe.txt beside the executable (replaced atomically).

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QMessageBox>
#include <QSaveFile>
#include <QTextStream>
#include <csignal>
#include <cstdlib>
#include <memory>

#include "app/Entry.h"
#include "app/SignalPipe.h"
#include "platform/LinuxProgramPath.h"
#include "sync/Settings.h"
#include "ui/MainHour.h"

namespace {

QString CursorName() {
    const QCursor* cursor = QApplication::overrideCursor();
    if (!cursor) {
        return "default";
    }
    return cursor->shape() == Qt::WaitCursor ? "wait" : QString::number(cursor->shape());
}

// The text of the message box on screen, if one is.
QString MessageBoxText() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box && box->isVisible()) {
            return box->text();
        }
    }
    return "";
}

void WriteProbe(velmora::TTimeForm& form) {
    const char* target = std::getenv("VELMORA_PROBE_OUT");
    const std::string name =
        target ? target
               : velmora::ProgramDirectory(velmora::LinuxProgramPath().ExecutablePath()) +
                     "/velmora-probe.txt";
    QSaveFile file(QString::fromStdString(name));
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    QTextStream out(&file);
    out << "LocalPCEdit=" << form.LocalPCEdit->text() << "\n"
        << "TimeServerEdit=" << form.TimeServerEdit->text() << "\n"
        << "Label1=" << form.Label1->text() << "\n"
        << "Label2=" << form.Label2->text() << "\n"
        << "StatusBar1=" << form.StatusBar1->currentMessage() << "\n"
        << "Visible=" << (form.isVisible() ? 1 : 0) << "\n"
        << "Minimized=" << (form.isMinimized() ? 1 : 0) << "\n"
        << "AppMinimized=" << (form.AppMinimized() ? 1 : 0) << "\n"
        << "IconVisible=" << (form.TrayIcon1.IconVisible() ? 1 : 0) << "\n"
        << "UpdateTimer=" << (form.UpdateTimer.Running() ? 1 : 0) << "\n"
        << "Cursor=" << CursorName() << "\n"
        << "MessageBox=" << MessageBoxText() << "\n";
    out.flush();
    file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<velmora::SignalPipe> probe;
    return velmora::RunVelmora(argc, argv, [&probe](velmora::TTimeForm& form) {
        probe = std::make_unique<velmora::SignalPipe>(std::initializer_list<int>{SIGUSR1},
                                                      [&form] { WriteProbe(form); });
    });
}
