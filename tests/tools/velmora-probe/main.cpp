// velmora-probe: Velmora with a probe for end-to-end tests. On SIGUSR1 it writes the texts of the
// main window's fields, labels and status line, its state, and what the History window shows,
// as KEY=VALUE lines into the file VELMORA_PROBE_OUT names, else velmora-probe.txt beside the
// executable (replaced atomically).

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSaveFile>
#include <QStatusBar>
#include <QTextStream>
#include <csignal>
#include <cstdlib>
#include <memory>

#include "app/Entry.h"
#include "app/SignalPipe.h"
#include "platform/linux/LinuxProgramPath.h"
#include "sync/Settings.h"
#include "ui/qt/HistoryWindow.h"
#include "ui/qt/MainHour.h"

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

// The text of the form's label named `name`.
QString LabelText(const velmora::TTimeForm& form, const char* name) {
    const auto* label = form.findChild<QLabel*>(name);
    return label ? label->text() : "?";
}

// The History windows there are (one at most), and what the one shows.
void WriteHistory(QTextStream& out) {
    int count = 0;
    const QWidget* history = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<velmora::THistoryWindow*>(window)) {
            ++count;
            history = window;
        }
    }
    const auto text = [history](const char* name) {
        const auto* label = history ? history->findChild<QLabel*>(name) : nullptr;
        return label ? label->text() : "";
    };
    out << "HistoryWindows=" << count << "\n"
        << "HistoryVisible=" << (history && history->isVisible() ? 1 : 0) << "\n"
        << "HistorySummary=" << text("SummaryLabel") << "\n"
        << "HistoryDrift=" << text("DriftLabel") << "\n"
        << "HistoryInterval=" << text("IntervalLabel") << "\n";
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
    const auto* status = form.findChild<QStatusBar*>("StatusBar1");
    const auto* icon = form.findChild<velmora::TCoolTrayIcon*>("TrayIcon1");
    const auto* refresh = form.findChild<velmora::QtTimer*>("UpdateTimer");
    QTextStream out(&file);
    out << "LocalPCEdit=" << LabelText(form, "LocalPCEdit") << "\n"
        << "TimeServerEdit=" << LabelText(form, "TimeServerEdit") << "\n"
        << "Label1=" << LabelText(form, "Label1") << "\n"
        << "Label2=" << LabelText(form, "Label2") << "\n"
        << "StatusBar1=" << (status ? status->currentMessage() : "?") << "\n"
        << "Visible=" << (form.isVisible() ? 1 : 0) << "\n"
        << "Minimized=" << (form.isMinimized() ? 1 : 0) << "\n"
        << "IconVisible=" << (icon && icon->IconVisible() ? 1 : 0) << "\n"
        << "UpdateTimer=" << (refresh && refresh->Running() ? 1 : 0) << "\n"
        << "Cursor=" << CursorName() << "\n"
        << "MessageBox=" << MessageBoxText() << "\n";
    WriteHistory(out);
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
