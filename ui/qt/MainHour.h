#pragma once

#include <QAction>
#include <QMenu>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "sync/SyncController.h"
#include "sync/TimeView.h"
#include "ui/qt/CoolTrayIcon.h"
#include "ui/qt/HistoryFeed.h"
#include "ui/qt/QtTimer.h"
#include "ui/qt/ThreadWorker.h"
#include "ui_MainHour.h"

namespace velmora {

class THistoryWindow;

// The main window: five picture buttons, the two clock fields, the status line and the tray
// icon with its menu. It shows what the controller tells it and forwards every action. Its
// controls, timers, menu and tray icon are its own: they carry their form names as object names,
// for whoever needs to find them.
class TTimeForm : public QWidget, public TimeView, private Ui::TTimeForm {
    Q_OBJECT

  public:
    // Runs FormCreate before returning; the window is not shown yet (see ShowAtStart).
    explicit TTimeForm(PlatformServices services, QWidget* parent = nullptr);
    // Saves the settings (FormDestroy) unless that already happened.
    ~TTimeForm() override;

    void SetLocalTimeText(const std::string& text) override;
    void SetServerTimeText(const std::string& text) override;
    std::string ServerTimeText() const override;
    void SetTimeCaptions(const std::string& localCaption,
                         const std::string& serverCaption) override;
    void SetBusyCursor(bool on) override;
    void SetWindowMinimized() override;
    void SetTimeStatus(const std::vector<std::string>& lines) override;
    void ShowNotification(const std::string& title, const std::string& text) override;
    void SetWindowNormal();
    void SetStatusText(const QString& text);
    // A question with Yes and No, No the default; true for Yes.
    bool AskYesNo(const std::string& question);

    // Shows the window as start-up left it: normal, or minimized (into the tray when there is
    // one).
    void ShowAtStart();
    // Saves the settings once, then runs `saved` (whether the save worked, failed, or came
    // before). A failure
    // then shows in a box when the user ended the program from its window or menu; ended any
    // other way (a signal, the session's end) nobody may be there to close a box, so it goes to
    // standard error and the program ends.
    void FormDestroy(const std::function<void()>& saved = {});
    // Saves the settings once, as last confirmed, from a way out on which the process ends at
    // once: exit(), or a thread of the toolkit about to end it. It touches no Qt object, and is
    // safe on any thread while the window's thread runs; a failure goes to standard error.
    void FormDestroyAtExit();
    // The session is ending: the settings are written now, a failure goes to standard error, and
    // the program goes on (the logout may yet be cancelled; it saves again at its end).
    void CommitData();

    void SpeedButton3Click();
    void Exit2Click();
    void Exitprogram1Click();
    void Restoreprogram1Click();
    // Opens the History window, or brings it to the front when it is open already.
    void History1Click();
    void TrayIcon1DblClick(QObject* sender);
    // Shows the window in the normal state and in front, from the tray or wherever it is.
    void BringToFront();
    // The system clock has been set, by this program or another.
    void ClockWasSet();
    void ApplicationEvents1Activate();
    void ApplicationEvents1Deactivate();

    bool BusyCursor() const { return busy_; }
    // Whether a query or a clock setting is still under way on the worker.
    bool WorkRunning() const { return Work.Busy(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QtTimer UpdateTimer{false, 500, this};
    QtTimer Timer1{false, 0, this};
    TImageList ImageList1{this};
    QMenu PopupMenu1{this};
    QAction* Synchronizecomputerclock1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Restoreprogram1 = nullptr;
    QAction* Exitprogram1 = nullptr;
    QAction* History1 = nullptr;
    TCoolTrayIcon TrayIcon1;
    ThreadWorker Work{this};
    // Before the controller, which keeps its records through it.
    HistoryFeed HistoryFeed1;
    SyncController Controller;
    // Made the first time it is asked for: nothing of it costs anything at start.
    std::unique_ptr<THistoryWindow> HistoryWindow1;

    void SetUpWindow();
    void SetUpButtons();
    void SetUpFields();
    void SetUpStatusTexts();
    void SetUpKeyboard();
    void SetUpTrayMenu();
    void SetUpTrayIcon();
    void ConnectActions();

    bool busy_ = false;
    // Guards destroyed_: the save at exit may come from another thread.
    std::mutex destroyMutex_;
    bool destroyed_ = false;
    // The user ended the program from its window or its menu.
    bool userEnded_ = false;
    // The window has been the active one since it was last shown.
    bool activeSinceShown_ = false;
};

// The status line's text for each control that has one.
QString StatusTextOf(const QString& controlName);

}  // namespace velmora
