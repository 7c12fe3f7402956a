#include "ui/qt/MainHour.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

#include "net/SNTPsend.h"
#include "ui/common/FormTexts.h"
#include "ui/common/MainHourForm.h"
#include "ui/qt/Application.h"
#include "ui/qt/HistoryWindow.h"
#include "ui/qt/Options.h"
#include "ui/qt/help.h"

// A resource file in a static library is linked in only when asked for.
static void InitButtonResources() {
    Q_INIT_RESOURCE(buttons);
}

namespace velmora {

namespace {

// Windows' classic desktop background; the clock fields borrow it.
const QColor kDesktopColour(0, 128, 128);
const QColor kServerFieldColour(0, 128, 0);

// The pictures are drawn on magenta, which stands for transparent. They are read as what they
// are: left to guess, the reader would load every image plugin to ask it first.
QIcon ButtonPicture(const QString& name) {
    QImageReader reader(":/buttons/" + name + ".png", "png");
    reader.setAutoDetectImageFormat(false);
    QPixmap picture = QPixmap::fromImageReader(&reader);
    picture.setMask(picture.createMaskFromColor(QColor(255, 0, 255)));
    return QIcon(picture);
}

}  // namespace

TTimeForm::TTimeForm(PlatformServices services, QWidget* parent)
    : QWidget(parent),
      controls_(*this, MainHourFormDescription(), [this](int id) { Command(id); }),
      LocalPCEdit(controls_.As<QLabel>(kLocalPCEditId)),
      TimeServerEdit(controls_.As<QLabel>(kTimeServerEditId)),
      TrayIcon1(this, std::make_unique<TrayHost>(), TCoolTrayIcon::Look::AfterFirstDraw),
      HistoryFeed1(services.History),
      Controller(MainWindowServices(
          *this, UpdateTimer, Timer1, Work, services, HistoryFeed1, Presenter,
          [this] { return std::make_unique<TOptionsForm>(this); },
          [](const std::string& message) { TApplication::ShowError(message); })) {
    InitButtonResources();
    UpdateTimer.setObjectName("UpdateTimer");
    Timer1.setObjectName("Timer1");
    SetUpWindow();
    SetUpButtons();
    SetUpFields();
    SetUpStatusTexts();
    SetUpTrayMenu();
    SetUpTrayIcon();
    ConnectActions();
    TApplication::Guarded([this] { Controller.FormCreate(); });
}

TTimeForm::~TTimeForm() {
    Presenter.FormDestroy();
}

void TTimeForm::SetUpWindow() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(315, 151);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

// The picture buttons take the focus in their row's order, and say what they do to a screen
// reader in the words of the status line; Space presses them as any button, Enter too.
void TTimeForm::SetUpButtons() {
    for (const ControlDescription& control : MainHourFormDescription().controls) {
        if (control.kind != ControlKind::PictureButton) {
            continue;
        }
        auto* button = controls_.As<QToolButton>(control.id);
        const QIcon picture = ButtonPicture(control.items.front());
        button->setIcon(picture);
        button->setIconSize(picture.availableSizes().value(0));
        button->setFocusPolicy(Qt::StrongFocus);
    }
}

void TTimeForm::SetUpFields() {
    for (QLabel* field : {LocalPCEdit, TimeServerEdit}) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Window,
                         field == LocalPCEdit ? kDesktopColour : kServerFieldColour);
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Base));
        field->setPalette(palette);
    }
}

void TTimeForm::SetUpStatusTexts() {
    for (const ControlDescription& control : MainHourFormDescription().controls) {
        if (const std::string text = StatusTextOf(control.name); !text.empty()) {
            QWidget* widget = controls_.Widget(control.id);
            widget->setMouseTracking(true);
            widget->installEventFilter(this);
            widget->setAccessibleName(QString::fromStdString(text));
        }
    }
}

void TTimeForm::SetUpTrayMenu() {
    PopupMenu1.setObjectName("PopupMenu1");
    for (const MenuItemDescription& item : TrayMenuDescription()) {
        QAction* action = item.id == 0 ? PopupMenu1.addSeparator()
                                       : PopupMenu1.addAction(QString::fromUtf8(item.caption));
        action->setObjectName(item.name);
        if (item.id != 0) {
            connect(action, &QAction::triggered, this, [this, id = item.id] { Command(id); });
        }
    }
}

void TTimeForm::SetUpTrayIcon() {
    // One picture for both, so that the tray is handed it once.
    const QIcon picture(kTrayImage);
    ImageList1.setObjectName("ImageList1");
    ImageList1.Add(picture);
    TrayIcon1.setObjectName("TrayIcon1");
    Presenter.SetUpTrayIcon(TrayIcon1);
    TrayIcon1.SetIcon(picture);
    TrayIcon1.SetIconVisible(true);
    TrayIcon1.SetIconList(&ImageList1);
    TrayIcon1.PopupMenu = &PopupMenu1;
    TrayIcon1.Loaded();
}

// Every handler runs inside the general error handler, so an error never unwinds through Qt's
// own button and menu code.
void TTimeForm::Command(int id) {
    TApplication::Guarded([this, id] { Presenter.Command(id); });
}

void TTimeForm::ConnectActions() {
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        TApplication::Guarded([this, s] {
            if (s == Qt::ApplicationActive) {
                Presenter.ApplicationEvents1Activate();
            } else if (s == Qt::ApplicationInactive) {
                Presenter.ApplicationEvents1Deactivate();
            }
        });
    });
}

void TTimeForm::ShowBusyCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool TTimeForm::AskYesNo(const std::string& question) {
    return QMessageBox::question(this, kTitle, QString::fromStdString(question),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void TTimeForm::SetServerFieldTip(const std::string& text) {
    TimeServerEdit->setToolTip(QString::fromStdString(text));
}

void TTimeForm::SetWindowMinimized() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void TTimeForm::SetWindowNormal() {
    const Qt::WindowStates normal = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (isVisible() || !windowHandle()) {
        setWindowState(normal);
        return;
    }
    // Qt's X11 backend maps a hidden window whose minimized state it takes away, and that window
    // is never drawn: a hidden window takes the state now, its platform window when it shows.
    overrideWindowState(normal);
}

void TTimeForm::ShowAtStart() {
    if (!isMinimized()) {
        show();
        return;
    }
    TrayIcon1.LookForTray();
    if (!TrayIcon1.TrayAvailable()) {
        showMinimized();
    }
    // A minimized window with a tray to go to stays hidden: only the icon shows.
}

void TTimeForm::ShowHelp() {
    THelpForm help(this);
    help.ShowModal();
}

void TTimeForm::ShowHistory() {
    if (!HistoryWindow1) {
        HistoryWindow1 = std::make_unique<THistoryWindow>(HistoryFeed1);
    }
    HistoryWindow1->show();
    HistoryWindow1->raise();
    HistoryWindow1->activateWindow();
}

bool TTimeForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        Presenter.Pointed(watched->objectName().toStdString());
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QToolButton*>(watched);
        if (button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TTimeForm::showEvent(QShowEvent* event) {
    // Qt sends a spontaneous show event of its own when a window stops being minimized.
    if (!event->spontaneous()) {
        Presenter.Shown();
        // Before the platform window maps: it shows in the state the window has meanwhile taken.
        if (windowHandle() && windowHandle()->windowStates() != windowState()) {
            windowHandle()->setWindowStates(windowState());
        }
    }
    // Where the window manager does not focus a new window, no activation would start it.
    Controller.StartDisplayRefresh();
    QWidget::showEvent(event);
}

void TTimeForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Presenter.BecameActive();
    }
    QWidget::changeEvent(event);
}

void TTimeForm::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program, as the exit button does. Qt closes every window when
    // the application is asked to quit, at the session's end too: only another close is the
    // user's.
    event->accept();
    if (!TApplication::Quitting()) {
        Presenter.UserEnds();
    }
    QCoreApplication::quit();
}

}  // namespace velmora
