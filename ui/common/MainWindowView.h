#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sync/TimeView.h"
#include "ui/common/MainHourPresenter.h"
#include "ui/common/TrayIconRules.h"

namespace velmora {

// The main window as the controller and its presenter see it, whichever toolkit draws it: which
// control shows what (the clock fields, their captions, the status line, the server field's
// tip), the busy cursor, and what goes to the tray icon. A front end gives its controls by their
// form numbers, its tray icon and the window's own few acts.
class MainWindowView : public TimeView, public MainWindowFrontEnd {
  public:
    void SetLocalTimeText(const std::string& text) final;
    void SetServerTimeText(const std::string& text) final;
    std::string ServerTimeText() const final;
    void SetTimeCaptions(const std::string& localCaption, const std::string& serverCaption) final;
    void SetBusyCursor(bool on) final;
    // The lines go whole to the server field's tooltip and after the hint into the tray's tip.
    void SetTimeStatus(const std::vector<std::string>& lines) final;
    void ShowNotification(const std::string& title, const std::string& text) final {
        Tray().ShowMessage(title, text);
    }
    void SetStatusText(const std::string& text) final;
    bool WindowVisible() const final { return Tray().OwnerVisible(); }
    void RestoreFromTray() final { Tray().RestoreMainWindow(); }
    void HideIntoTray() final { Tray().HideMainWindow(); }

    bool BusyCursor() const { return busy_; }

  private:
    // The text of the form's control `id` (ui/common/MainHourForm.h); setting it shows it at once.
    virtual std::string ControlText(int id) const = 0;
    virtual void SetControlText(int id, const std::string& text) = 0;
    virtual void SetServerFieldTip(const std::string& text) = 0;
    // The wait cursor on or off; called at a change only.
    virtual void ShowBusyCursor(bool on) = 0;
    virtual const TrayIconRules& Tray() const = 0;
    // The window's own tray icon, which it may change.
    TrayIconRules& Tray() { return const_cast<TrayIconRules&>(std::as_const(*this).Tray()); }

    bool busy_ = false;
};

}  // namespace velmora
