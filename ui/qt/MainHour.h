#pragma once

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QString>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "sync/SyncController.h"
#include "ui/common/HistoryFeed.h"
#include "ui/common/MainHourPresenter.h"
#include "ui/common/MainWindowView.h"
#include "ui/qt/Application.h"
#include "ui/qt/CoolTrayIcon.h"
#include "ui/qt/FormWidgets.h"
#include "ui/qt/QtTimer.h"
#include "ui/qt/ThreadWorker.h"

namespace velmora {

class THistoryWindow;

// The main window: five picture buttons, the two clock fields, the status line and the tray
// icon with its menu. It shows what the controller tells it and forwards every action. Its
// controls, timers, menu and tray icon are its own: they carry their form names as object names,
// for whoever needs to find them.
class TTimeForm : public QWidget, public MainWindowView {
    Q_OBJECT

  public:
    // Runs FormCreate before returning; the window is not shown yet (see ShowAtStart).
    explicit TTimeForm(PlatformServices services, QWidget* parent = nullptr);
    // Saves the settings (FormDestroy) unless that already happened.
    ~TTimeForm() override;

    void SetWindowMinimized() override;
    void SetWindowNormal() override;

    // Shows the window as start-up left it: normal, or minimized (into the tray when there is
    // one).
    void ShowAtStart();
    // The window's rules: the save policy on every way out, bringing it to the front, the clock
    // set, activation.
    MainHourPresenter& Rules() { return Presenter; }

    // Whether a query or a clock setting is still under way on the worker.
    bool WorkRunning() const { return Work.Busy(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    std::string ControlText(int id) const override { return controls_.Text(id); }
    void SetControlText(int id, const std::string& text) override { controls_.SetText(id, text); }
    void SetServerFieldTip(const std::string& text) override;
    void ShowBusyCursor(bool on) override;
    const TrayIconRules& Tray() const override { return TrayIcon1; }
    void ShowHelp() override;
    void ShowHistory() override;
    void EndProgram() override { QCoreApplication::quit(); }
    void CloseWindow() override { close(); }
    bool ModalOpen() const override { return QApplication::activeModalWidget() != nullptr; }
    bool AskYesNo(const std::string& question) override;

    FormWidgets controls_;
    QLabel* const LocalPCEdit;
    QLabel* const TimeServerEdit;
    QtTimer UpdateTimer{false, 500, this};
    QtTimer Timer1{false, 0, this};
    TImageList ImageList1{this};
    QMenu PopupMenu1{this};
    TCoolTrayIcon TrayIcon1;
    ThreadWorker Work{this};
    // Before the controller, which keeps its records through it.
    HistoryFeed HistoryFeed1;
    SyncController Controller;
    MainHourPresenter Presenter{
        *this, Controller, {TApplication::Guarded, TApplication::GuardedUnattended}};
    // Made the first time it is asked for: nothing of it costs anything at start.
    std::unique_ptr<THistoryWindow> HistoryWindow1;

    void SetUpWindow();
    void SetUpButtons();
    void SetUpFields();
    void SetUpStatusTexts();
    void SetUpTrayMenu();
    void SetUpTrayIcon();
    void ConnectActions();
    void Command(int id);
};

}  // namespace velmora
