#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace velmora {

// What a click on the tray icon means, however the tray reports it.
enum class TrayGesture {
    // The double click, or a tray host's activation where it has no double click.
    Restore,
    // The right button: the popup menu.
    Menu,
};

// The tray icon's properties and rules, whichever toolkit puts it in the tray: its tip, what a
// click on it does, when the owner window goes into the tray and when it comes back. A front end
// gives the primitives (its tray, its owner window, its menu and image list) and reports what
// the owner and the tray do.
class TrayIconRules {
  public:
    virtual ~TrayIconRules() = default;

    // When false, every mouse action on the icon is ignored.
    bool Enabled = true;
    bool MinimizeToTray = false;
    // Raised with the component as sender on a double click; unassigned = not raised.
    std::function<void(TrayIconRules* sender)> OnDblClick;
    // Milliseconds; kept only, icons never cycle here.
    std::uint32_t CycleInterval = 0;

    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool visible);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    // What the time shown is worth, one line each: the tip shows them after the hint.
    void SetTipDetails(const std::string& details);
    // The tip as the tray shows it (ui/common/TrayTip.h).
    std::string TipText() const;
    int IconIndex() const { return iconIndex_; }
    // The image list's image at `index`, held to the list's range; with no image, none taken.
    void SetIconIndex(int index);

    // Each returns whether the tray took the call; nobody needs to look.
    virtual bool AddToTray() = 0;
    virtual bool RemoveFromTray() = 0;
    virtual bool UpdateInTray() = 0;
    // Whether a tray shows the icon now; without one the owner is never hidden into it.
    virtual bool TrayAvailable() const = 0;
    // A warning from the icon, as the desktop shows one; nothing without a tray to speak from.
    virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
    virtual bool OwnerVisible() const = 0;

    // Shows the owner in the normal state and in front.
    void RestoreMainWindow();
    // Hides the owner into the tray, when there is one: a window hidden in no tray could never
    // be found again.
    void HideMainWindow();
    void HideAppButton();

  protected:
    // The front end's reports: a click on the icon, the owner minimized or shown, the tray come
    // or gone.
    void Clicked(TrayGesture gesture);
    void OwnerStateChanged();
    void OwnerShown() { hiddenInTray_ = false; }
    // From now on as if the tray had been there from the start: a minimized owner goes to it.
    void TrayCame() { OwnerStateChanged(); }
    // An owner this icon hid, and that nobody has shown since, comes back.
    void TrayGone();
    void SetShownInTray(bool visible) { iconVisible_ = visible; }

    virtual void FireDblClick();
    virtual void SendToTray();

  private:
    virtual bool HasOwner() const = 0;
    virtual bool OwnerMinimized() const = 0;
    // The owner shown, normal and in front; hidden.
    virtual void ShowOwner() = 0;
    virtual void HideOwner() = 0;
    virtual int ImageCount() const = 0;
    virtual void TakeImage(int index) = 0;
    virtual void OpenTrayMenu() = 0;
    virtual void RunDefaultItem() = 0;

    bool iconVisible_ = false;
    std::string hint_;
    bool showHint_ = true;
    std::string tipDetails_;
    int iconIndex_ = 0;
    // The owner went into the tray and has not been shown since.
    bool hiddenInTray_ = false;
};

}  // namespace velmora
