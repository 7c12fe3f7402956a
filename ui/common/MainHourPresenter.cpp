#include "ui/common/MainHourPresenter.h"

#include <exception>
#include <utility>

#include "ui/common/FormTexts.h"
#include "ui/common/MainHourForm.h"

namespace velmora {

bool MainHourPresenter::Command(int id) {
    switch (id) {
        case kCheckTimeServerButtonId:
            controller_.CheckTimeServerButtonClick();
            return true;
        case kAdjustClockButtonId:
            controller_.AdjustClockButtonClick();
            return true;
        case kSpeedButton2Id:
            controller_.Options1Click();
            return true;
        case kSpeedButton3Id:
            form_.ShowHelp();
            return true;
        case kSpeedButton1Id:
            UserEnds();
            form_.EndProgram();
            return true;
        case kSynchronizecomputerclock1Id:
            controller_.Synchronizecomputerclock1Click();
            return true;
        // Whichever way the window went, minimized or hidden when another program took the
        // focus.
        case kRestoreprogram1Id:
            form_.RestoreFromTray();
            return true;
        case kExitprogram1Id:
            form_.CloseWindow();
            return true;
        case kHistory1Id:
            form_.ShowHistory();
            return true;
        default:
            return false;
    }
}

void MainHourPresenter::Pointed(const std::string& controlName) {
    const std::string text = StatusTextOf(controlName);
    if (!text.empty()) {
        form_.SetStatusText(text);
    }
}

bool MainHourPresenter::AskYesNo(const std::string& question) {
    // The window comes out of the tray first: a box over nothing would leave the user wondering
    // what it is about.
    if (!form_.WindowVisible()) {
        form_.RestoreFromTray();
    }
    return form_.AskYesNo(question);
}

void MainHourPresenter::SetUpTrayIcon(TrayIconRules& icon) {
    icon.CycleInterval = 400;
    icon.MinimizeToTray = true;
    icon.OnDblClick = [this](TrayIconRules*) { BringToFront(); };
    icon.SetHint(kTitle);
}

void MainHourPresenter::ClockWasSet() {
    handlers_.guarded([this] { controller_.ClockWasSet(); });
}

void MainHourPresenter::ApplicationEvents1Activate() {
    form_.SetWindowNormal();
    controller_.StartDisplayRefresh();
}

void MainHourPresenter::ApplicationEvents1Deactivate() {
    // While a window of ours is modal (options, help, a box) the main window stays with it: that
    // window would be left on the screen without its owner. A window brought back that never
    // became active was not left for another program: a deactivation still due from before
    // leaves it.
    if (form_.ModalOpen() || !activeSinceShown_) {
        return;
    }
    form_.HideIntoTray();
}

void MainHourPresenter::FormDestroy(const std::function<void()>& saved) {
    std::exception_ptr failure;
    {
        const std::lock_guard<std::mutex> lock(destroyMutex_);
        if (!std::exchange(destroyed_, true)) {
            try {
                controller_.FormDestroy();
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
        handlers_.guarded(report);
    } else {
        handlers_.unattended(report);
    }
}

void MainHourPresenter::FormDestroyAtExit() {
    const std::lock_guard<std::mutex> lock(destroyMutex_);
    if (std::exchange(destroyed_, true)) {
        return;
    }
    handlers_.unattended([this] { controller_.SaveKeptSettings(); });
}

void MainHourPresenter::CommitData() {
    handlers_.unattended([this] { controller_.SaveSettingsNow(); });
}

SyncControllerServices MainWindowServices(TimeView& view, Timer& updateTimer, Timer& timer1,
                                          Worker& work, PlatformServices& platform,
                                          HistoryStore& history, MainHourPresenter& presenter,
                                          OptionsDialogFactory makeOptionsDialog,
                                          ErrorReporter reportError) {
    return SyncControllerServices{
        view,
        updateTimer,
        timer1,
        WithHistory(platform, history),
        std::move(makeOptionsDialog),
        std::move(reportError),
        work,
        [&presenter](const std::string& question) { return presenter.AskYesNo(question); },
    };
}

}  // namespace velmora
