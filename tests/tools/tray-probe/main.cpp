// tray-probe: a window titled "Velmora" with a tray icon set up as the program sets up its own
// (tip "Velmora", one image, a popup menu, minimize to tray). It prints one line per event:
//   tip=TEXT        the tip handed to the tray host, at start
//   tray=yes|no     whether a tray host was there at start, and again whenever that changes
//   dblclick        a double click on the icon (the window is then restored)
//   menu-shown      the popup menu opened
//   sent-to-tray    minimizing hid the window into the tray
//   state=minimized|normal   the window state changed
// With --options or --help-window it also opens that window over its own, modally, as the
// program does (for screenshots). With --other it only shows a window titled "Other program",
// with no icon, to take the focus.
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "sync/Settings.h"
#include "ui/qt/Application.h"
#include "ui/qt/CoolTrayIcon.h"
#include "ui/qt/Options.h"
#include "ui/qt/help.h"

namespace {

void Say(const QString& line) {
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

class ProbeTray : public velmora::TCoolTrayIcon {
  public:
    using TCoolTrayIcon::TCoolTrayIcon;

  protected:
    void SendToTray() override {
        TCoolTrayIcon::SendToTray();
        Say("sent-to-tray");
    }
};

class ProbeWindow : public QWidget {
  public:
    ProbeWindow() {
        setWindowTitle("Velmora");
        setFixedSize(315, 151);
        images_.Add(QIcon(velmora::kTrayImage));
        menu_.addAction("Restore program");
        menu_.addAction("Exit program", qApp, &QApplication::quit);
        connect(&menu_, &QMenu::aboutToShow, [] { Say("menu-shown"); });

        tray_.CycleInterval = 400;
        tray_.SetHint("Velmora");
        tray_.SetIconVisible(true);
        tray_.SetIconList(&images_);
        tray_.PopupMenu = &menu_;
        tray_.MinimizeToTray = true;
        tray_.OnDblClick = [this](velmora::TrayIconRules*) {
            Say("dblclick");
            tray_.RestoreMainWindow();
        };
        tray_.Loaded();
        Say("tip=" + QString::fromStdString(tray_.TipText()));
        TellTray();
        connect(&trayWatch_, &QTimer::timeout, this, [this] {
            if (tray_.TrayAvailable() != trayThere_) {
                TellTray();
            }
        });
        trayWatch_.start(50);
    }

  protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            Say(QString("state=") + (isMinimized() ? "minimized" : "normal"));
        }
        QWidget::changeEvent(event);
    }

  private:
    void TellTray() {
        trayThere_ = tray_.TrayAvailable();
        Say(QString("tray=") + (trayThere_ ? "yes" : "no"));
    }

    velmora::TImageList images_;
    QTimer trayWatch_;
    bool trayThere_ = false;
    QMenu menu_;
    ProbeTray tray_{this};
};

void OpenOptions(QWidget* parent) {
    velmora::TOptionsForm form(parent);
    velmora::OptionsValues shown;
    shown.ServerList = velmora::kDefaultServerList;
    shown.IntervalText = "0";
    shown.DisplayLocalTime = true;
    Say(form.Edit(shown) ? "options-accepted" : "options-closed");
}

void OpenHelp(QWidget* parent) {
    velmora::THelpForm form(parent);
    form.ShowModal();
    Say("help-closed");
}

}  // namespace

int main(int argc, char** argv) {
    velmora::TApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains("--other")) {
        // Another program's window, to take the focus where no other program is at hand.
        QWidget other;
        other.setWindowTitle("Other program");
        other.resize(200, 80);
        other.show();
        return app.exec();
    }
    ProbeWindow window;
    window.show();
    if (args.contains("--options")) {
        QTimer::singleShot(300, &window, [&window] { OpenOptions(&window); });
    } else if (args.contains("--help-window")) {
        QTimer::singleShot(300, &window, [&window] { OpenHelp(&window); });
    }
    return app.exec();
}
