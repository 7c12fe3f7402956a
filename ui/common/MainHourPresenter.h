#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <utility>

#include "sync/SyncController.h"
#include "ui/common/TrayIconRules.h"

namespace velmora {

// What the main window's presenter asks of its front end: the window's own acts and the tray
// icon's.
class MainWindowFrontEnd {
  public:
    virtual ~MainWindowFrontEnd() = default;

    virtual void ShowHelp() = 0;
    // Opens the History window, or brings it to the front when it is open already.
    virtual void ShowHistory() = 0;
    // The window's loop ends: the program ends, saving on the way out.
    virtual void EndProgram() = 0;
    // Closes the window, which ends the program the same way.
    virtual void CloseWindow() = 0;
    // The tray icon brings the window back, normal and in front; or hides it into the tray.
    virtual void RestoreFromTray() = 0;
    virtual void HideIntoTray() = 0;
    virtual void SetWindowNormal() = 0;
    virtual bool WindowVisible() const = 0;
    // A window of ours (options, help, a box) is modal over this one.
    virtual bool ModalOpen() const = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // A question with Yes and No, No the default; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
};

// The front end's general error handler: each runs an action, its error in a box, or, when nobody
// may be there to close one, on standard error.
struct ErrorHandlers {
    std::function<void(const std::function<void()>&)> guarded;
    std::function<void(const std::function<void()>&)> unattended;
};

// The main window's rules, whichever toolkit draws it: the command of each button and tray menu
// item, what activation and its loss do, the status line, the questions, and the save policy
// on every way out.
class MainHourPresenter {
  public:
    MainHourPresenter(MainWindowFrontEnd& form, SyncController& controller, ErrorHandlers handlers)
        : form_(form), controller_(controller), handlers_(std::move(handlers)) {}

    // A button or a tray menu item, by its number; false for none of them.
    bool Command(int id);
    // The mouse over the control of that form name.
    void Pointed(const std::string& controlName);
    bool AskYesNo(const std::string& question);

    // The tray icon's properties as the window wants them: the program's name as its hint, the
    // window minimized goes into the tray, a double click brings it back.
    void SetUpTrayIcon(TrayIconRules& icon);
    // Shows the window in the normal state and in front, from the tray or wherever it is.
    void BringToFront() { form_.RestoreFromTray(); }
    // The system clock has been set, by this program or another.
    void ClockWasSet();
    void ApplicationEvents1Activate();
    void ApplicationEvents1Deactivate();
    // The window was shown, or became the active one.
    void Shown() { activeSinceShown_ = false; }
    void BecameActive() { activeSinceShown_ = true; }

    // The user ends the program from its window or menu: a failed save shows in a box.
    void UserEnds() { userEnded_ = true; }
    bool UserEnded() const { return userEnded_; }
    // Saves the settings once, then runs `saved` (whether the save worked, failed, or came
    // before). A failure then shows in a box when the user ended the program; ended any other
    // way (a signal, the session's end) nobody may be there to close one, so it goes to
    // standard error.
    void FormDestroy(const std::function<void()>& saved = {});
    // Saves the settings once, as last confirmed, from a way out on which the process ends at
    // once; safe on any thread while the window's runs; a failure goes to standard error.
    void FormDestroyAtExit();
    // The session is ending: the settings are written now, a failure goes to standard error,
    // and the program goes on (the logout may yet be cancelled; it saves again at its end).
    void CommitData();

  private:
    MainWindowFrontEnd& form_;
    SyncController& controller_;
    ErrorHandlers handlers_;
    // Guards destroyed_: the save at exit may come from another thread.
    std::mutex destroyMutex_;
    bool destroyed_ = false;
    bool userEnded_ = false;
    // The window has been the active one since it was last shown.
    bool activeSinceShown_ = false;
};

// The controller's services from a main window's parts: the records go through `history`, the
// questions through `presenter`, which brings the window out of the tray first.
SyncControllerServices MainWindowServices(TimeView& view, Timer& updateTimer, Timer& timer1,
                                          Worker& work, PlatformServices& platform,
                                          HistoryStore& history, MainHourPresenter& presenter,
                                          OptionsDialogFactory makeOptionsDialog,
                                          ErrorReporter reportError);

}  // namespace velmora
