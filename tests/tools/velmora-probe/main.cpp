// velmora-probe: Velmora with a probe for end-to-end tests. On SIGUSR1 it writes the texts of the
// main window's fields, labels and status line, its state, and what the History window shows,
// as KEY=VALUE lines into the file VELMORA_PROBE_OUT names, else velmora-probe.txt beside the
// executable (replaced atomically). On SIGUSR2 it clicks the shown button whose object name the
// file VELMORA_PROBE_OUT.click holds, and removes that file as the click begins: for sessions
// without a pointer (sway here). The click comes from the event loop, as a user's would.

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSaveFile>
#include <QStatusBar>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/qt/Entry.h"
#include "app/qt/SignalPipe.h"
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

// A label's tooltip, its lines joined by " | ".
QString LabelTip(const velmora::TTimeForm& form, const char* name) {
    const auto* label = form.findChild<QLabel*>(name);
    return label ? label->toolTip().replace('\n', " | ") : "?";
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

// Where the probe writes, and beside it what it is asked to click.
std::string ProbeFile() {
    const char* target = std::getenv("VELMORA_PROBE_OUT");
    return target ? target
                  : velmora::ProgramDirectory(velmora::LinuxProgramPath().ExecutablePath()) +
                        "/velmora-probe.txt";
}

void WriteProbe(velmora::TTimeForm& form) {
    QSaveFile file(QString::fromStdString(ProbeFile()));
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    const auto* status = form.findChild<QStatusBar*>("StatusBar1");
    const auto* icon = form.findChild<velmora::TCoolTrayIcon*>("TrayIcon1");
    const auto* refresh = form.findChild<velmora::QtTimer*>("UpdateTimer");
    QTextStream out(&file);
    out << "LocalPCEdit=" << LabelText(form, "LocalPCEdit") << "\n"
        << "TimeServerEdit=" << LabelText(form, "TimeServerEdit") << "\n"
        << "TimeServerTip=" << LabelTip(form, "TimeServerEdit") << "\n"
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

// The visible button named `name` in any window, or null.
QAbstractButton* ShownButton(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (auto* button : window->findChildren<QAbstractButton*>(name)) {
            if (button->isVisible()) {
                return button;
            }
        }
    }
    return nullptr;
}

// The request goes once the click is under way, so that the next may be written.
void ClickAsked() {
    QFile request(QString::fromStdString(ProbeFile() + ".click"));
    if (!request.open(QIODevice::ReadOnly)) {
        return;
    }
    const QString name = QString::fromUtf8(request.readAll()).trimmed();
    request.close();
    QAbstractButton* button = ShownButton(name);
    if (!button) {
        return;
    }
    // From the loop rather than here: a click that opens a modal window runs its loop.
    QTimer::singleShot(0, button, [button, file = request.fileName()] {
        QFile::remove(file);
        button->click();
    });
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<velmora::SignalPipe> probe;
    std::unique_ptr<velmora::SignalPipe> clicks;
    return velmora::RunVelmora(argc, argv, [&probe, &clicks](velmora::TTimeForm& form) {
        probe = std::make_unique<velmora::SignalPipe>(std::initializer_list<int>{SIGUSR1},
                                                      [&form] { WriteProbe(form); });
        clicks =
            std::make_unique<velmora::SignalPipe>(std::initializer_list<int>{SIGUSR2}, ClickAsked);
    });
}
