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

SyncControllerServices ControllerServices(TTimeForm& form, Timer& updateTimer, Timer& timer1,
                                          PlatformServices& services, HistoryStore& history,
                                          Worker& work) {
    return SyncControllerServices{
        form,
        updateTimer,
        timer1,
        WithHistory(services, history),
        [&form] { return std::make_unique<TOptionsForm>(&form); },
        [](const std::string& message) { TApplication::ShowError(message); },
        work,
        [&form](const std::string& question) { return form.AskYesNo(question); },
    };
}

}  // namespace

QString StatusTextOf(const QString& controlName) {
    return QString::fromStdString(StatusTextOf(controlName.toStdString()));
}

TTimeForm::TTimeForm(PlatformServices services, QWidget* parent)
    : QWidget(parent),
      TrayIcon1(this, std::make_unique<TrayHost>(), TCoolTrayIcon::Look::AfterFirstDraw),
      HistoryFeed1(services.History),
      Controller(ControllerServices(*this, UpdateTimer, Timer1, services, HistoryFeed1, Work)) {
    InitButtonResources();
    setupUi(this);
    UpdateTimer.setObjectName("UpdateTimer");
    Timer1.setObjectName("Timer1");
    SetUpWindow();
    SetUpButtons();
    SetUpFields();
    SetUpStatusTexts();
    SetUpKeyboard();
    SetUpTrayMenu();
    SetUpTrayIcon();
    ConnectActions();
    TApplication::Guarded([this] { Controller.FormCreate(); });
}

TTimeForm::~TTimeForm() {
    FormDestroy();
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

void TTimeForm::SetUpButtons() {
    const std::pair<QToolButton*, const char*> buttons[] = {
        {CheckTimeServerButton, "gettime"},
        {AdjustClockButton, "adjust"},
        {SpeedButton2, "properties"},
        {SpeedButton3, "help"},
        {SpeedButton1, "exit"},
    };
    for (const auto& [button, picture] : buttons) {
        button->setIcon(ButtonPicture(picture));
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
    for (QWidget* control :
         std::initializer_list<QWidget*>{CheckTimeServerButton, AdjustClockButton, SpeedButton2,
                                         SpeedButton3, SpeedButton1, LocalPCEdit, TimeServerEdit}) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }
}

void TTimeForm::SetUpKeyboard() {
    // The picture buttons take the focus in their row's order, and say what they do to a screen
    // reader in the words of the status line; Space presses them as any button, Enter too.
    QWidget* previous = nullptr;
    for (QToolButton* button :
         {CheckTimeServerButton, AdjustClockButton, SpeedButton2, SpeedButton3, SpeedButton1}) {
        button->setFocusPolicy(Qt::StrongFocus);
        if (previous) {
            setTabOrder(previous, button);
        }
        previous = button;
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{CheckTimeServerButton, AdjustClockButton, SpeedButton2,
                                         SpeedButton3, SpeedButton1, LocalPCEdit, TimeServerEdit}) {
        control->setAccessibleName(StatusTextOf(control->objectName()));
    }
}

void TTimeForm::SetUpTrayMenu() {
    Synchronizecomputerclock1 = PopupMenu1.addAction(kSynchronizeComputerClockCaption);
    N1 = PopupMenu1.addSeparator();
    Restoreprogram1 = PopupMenu1.addAction(kRestoreProgramCaption);
    Exitprogram1 = PopupMenu1.addAction(kExitProgramCaption);
    History1 = PopupMenu1.addAction(kHistoryCaption);
    Synchronizecomputerclock1->setObjectName("Synchronizecomputerclock1");
    N1->setObjectName("N1");
    Restoreprogram1->setObjectName("Restoreprogram1");
    Exitprogram1->setObjectName("Exitprogram1");
    History1->setObjectName("History1");
    PopupMenu1.setObjectName("PopupMenu1");
}

void TTimeForm::SetUpTrayIcon() {
    // One picture for both, so that the tray is handed it once.
    const QIcon picture(kTrayImage);
    ImageList1.setObjectName("ImageList1");
    ImageList1.Add(picture);
    TrayIcon1.setObjectName("TrayIcon1");
    TrayIcon1.CycleInterval = 400;
    TrayIcon1.SetHint(kTitle);
    TrayIcon1.SetIcon(picture);
    TrayIcon1.SetIconVisible(true);
    TrayIcon1.SetIconIndex(0);
    TrayIcon1.MinimizeToTray = true;
    TrayIcon1.OnDblClick = [this](QObject* sender) { TrayIcon1DblClick(sender); };
    TrayIcon1.SetIconList(&ImageList1);
    TrayIcon1.PopupMenu = &PopupMenu1;
    TrayIcon1.Loaded();
}

void TTimeForm::ConnectActions() {
    // Every handler runs inside the general error handler, so an error never unwinds through
    // Qt's own button and menu code.
    const auto on = [this](auto* sender, auto signal, std::function<void()> handler) {
        connect(sender, signal, this, TApplication::Guard(std::move(handler)));
    };
    on(CheckTimeServerButton, &QToolButton::clicked,
       [this] { Controller.CheckTimeServerButtonClick(); });
    on(AdjustClockButton, &QToolButton::clicked, [this] { Controller.AdjustClockButtonClick(); });
    on(SpeedButton2, &QToolButton::clicked, [this] { Controller.Options1Click(); });
    on(SpeedButton3, &QToolButton::clicked, [this] { SpeedButton3Click(); });
    on(SpeedButton1, &QToolButton::clicked, [this] { Exit2Click(); });
    on(Synchronizecomputerclock1, &QAction::triggered,
       [this] { Controller.Synchronizecomputerclock1Click(); });
    on(Restoreprogram1, &QAction::triggered, [this] { Restoreprogram1Click(); });
    on(Exitprogram1, &QAction::triggered, [this] { Exitprogram1Click(); });
    on(History1, &QAction::triggered, [this] { History1Click(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        TApplication::Guarded([this, s] {
            if (s == Qt::ApplicationActive) {
                ApplicationEvents1Activate();
            } else if (s == Qt::ApplicationInactive) {
                ApplicationEvents1Deactivate();
            }
        });
    });
}

void TTimeForm::SetLocalTimeText(const std::string& text) {
    LocalPCEdit->setText(QString::fromStdString(text));
}

void TTimeForm::SetServerTimeText(const std::string& text) {
    TimeServerEdit->setText(QString::fromStdString(text));
}

std::string TTimeForm::ServerTimeText() const {
    return TimeServerEdit->text().toStdString();
}

void TTimeForm::SetTimeCaptions(const std::string& localCaption, const std::string& serverCaption) {
    Label1->setText(QString::fromStdString(localCaption));
    Label2->setText(QString::fromStdString(serverCaption));
}

void TTimeForm::SetBusyCursor(bool on) {
    if (on == busy_) {
        return;
    }
    busy_ = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool TTimeForm::AskYesNo(const std::string& question) {
    // The window comes out of the tray first: a box over nothing would leave the user wondering
    // what it is about.
    if (!isVisible()) {
        BringToFront();
    }
    return QMessageBox::question(this, kTitle, QString::fromStdString(question),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void TTimeForm::SetTimeStatus(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) {
        text << QString::fromStdString(line);
    }
    TimeServerEdit->setToolTip(text.join('\n'));
    TrayIcon1.SetTipDetails(text.join('\n'));
}

void TTimeForm::ShowNotification(const std::string& title, const std::string& text) {
    TrayIcon1.ShowMessage(QString::fromStdString(title), QString::fromStdString(text));
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

void TTimeForm::SetStatusText(const QString& text) {
    StatusBar1->showMessage(text);
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

void TTimeForm::FormDestroy(const std::function<void()>& saved) {
    std::exception_ptr failure;
    {
        const std::lock_guard<std::mutex> lock(destroyMutex_);
        if (!std::exchange(destroyed_, true)) {
            try {
                Controller.FormDestroy();
            } catch (...) {
                failure = std::current_exception();
            }
        }
    }
    if (saved) {
        saved();
    }
    if (!failure) {
        return;
    }
    // The box comes after the lock: a last save from another thread must not wait on it.
    const auto report = [&failure] { std::rethrow_exception(failure); };
    if (userEnded_) {
        TApplication::Guarded(report);
    } else {
        TApplication::GuardedUnattended(report);
    }
}

void TTimeForm::FormDestroyAtExit() {
    const std::lock_guard<std::mutex> lock(destroyMutex_);
    if (std::exchange(destroyed_, true)) {
        return;
    }
    TApplication::GuardedUnattended([this] { Controller.SaveKeptSettings(); });
}

void TTimeForm::CommitData() {
    TApplication::GuardedUnattended([this] { Controller.SaveSettingsNow(); });
}

void TTimeForm::SpeedButton3Click() {
    THelpForm help(this);
    help.ShowModal();
}

void TTimeForm::Exit2Click() {
    userEnded_ = true;
    QCoreApplication::quit();
}

void TTimeForm::Exitprogram1Click() {
    close();
}

void TTimeForm::Restoreprogram1Click() {
    // Whichever way the window went, minimized or hidden when another program took the focus.
    BringToFront();
}

void TTimeForm::History1Click() {
    if (!HistoryWindow1) {
        HistoryWindow1 = std::make_unique<THistoryWindow>(HistoryFeed1);
    }
    HistoryWindow1->show();
    HistoryWindow1->raise();
    HistoryWindow1->activateWindow();
}

void TTimeForm::TrayIcon1DblClick(QObject*) {
    BringToFront();
}

void TTimeForm::BringToFront() {
    TrayIcon1.RestoreMainWindow();
}

void TTimeForm::ClockWasSet() {
    TApplication::Guarded([this] { Controller.ClockWasSet(); });
}

void TTimeForm::ApplicationEvents1Activate() {
    SetWindowNormal();
    Controller.StartDisplayRefresh();
}

void TTimeForm::ApplicationEvents1Deactivate() {
    // While a window of ours is modal (options, help, a box) the main window stays with it: that
    // window would be left on the screen without its owner, and the tray icon takes no input
    // until it closes. A window brought back that never became active was not left for another
    // program: a deactivation still due from before (Qt reports it a moment late) leaves it.
    if (QApplication::activeModalWidget() || !activeSinceShown_) {
        return;
    }
    TrayIcon1.HideMainWindow();
}

bool TTimeForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        SetStatusText(StatusTextOf(watched->objectName()));
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
        activeSinceShown_ = false;
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
        activeSinceShown_ = true;
    }
    QWidget::changeEvent(event);
}

void TTimeForm::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program, as the exit button does. Qt closes every window when
    // the application is asked to quit, at the session's end too: only another close is the
    // user's.
    event->accept();
    if (!TApplication::Quitting()) {
        userEnded_ = true;
    }
    QCoreApplication::quit();
}

}  // namespace velmora
