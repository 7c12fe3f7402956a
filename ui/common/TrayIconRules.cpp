#include "ui/common/TrayIconRules.h"

#include <algorithm>

#include "ui/common/TrayTip.h"

namespace velmora {

void TrayIconRules::SetIconVisible(bool visible) {
    if (visible) {
        AddToTray();
    } else {
        RemoveFromTray();
    }
}

void TrayIconRules::SetHint(const std::string& hint) {
    hint_ = hint;
    UpdateInTray();
}

void TrayIconRules::SetShowHint(bool show) {
    showHint_ = show;
    UpdateInTray();
}

void TrayIconRules::SetTipDetails(const std::string& details) {
    tipDetails_ = details;
    UpdateInTray();
}

std::string TrayIconRules::TipText() const {
    return TrayTipOf(hint_, showHint_, tipDetails_);
}

void TrayIconRules::SetIconIndex(int index) {
    const int count = ImageCount();
    iconIndex_ = count > 0 ? std::clamp(index, 0, count - 1) : 0;
    if (count > 0) {
        TakeImage(iconIndex_);
    }
    UpdateInTray();
}

void TrayIconRules::RestoreMainWindow() {
    if (!HasOwner()) {
        return;
    }
    ShowOwner();
    hiddenInTray_ = false;
}

void TrayIconRules::HideMainWindow() {
    if (!HasOwner() || !TrayAvailable()) {
        return;
    }
    HideAppButton();
    hiddenInTray_ = true;
}

void TrayIconRules::HideAppButton() {
    // The taskbar's entry is the window's own: it goes with the window.
    if (HasOwner() && OwnerVisible() && TrayAvailable()) {
        HideOwner();
    }
}

void TrayIconRules::Clicked(TrayGesture gesture) {
    if (!Enabled) {
        return;
    }
    if (gesture == TrayGesture::Restore) {
        FireDblClick();
        RunDefaultItem();
    } else {
        OpenTrayMenu();
    }
}

void TrayIconRules::OwnerStateChanged() {
    if (HasOwner() && OwnerMinimized() && MinimizeToTray && TrayAvailable()) {
        SendToTray();
    }
}

void TrayIconRules::TrayGone() {
    if (hiddenInTray_ && HasOwner() && !OwnerVisible() && !TrayAvailable()) {
        RestoreMainWindow();
    }
}

void TrayIconRules::FireDblClick() {
    if (OnDblClick) {
        OnDblClick(this);
    }
}

void TrayIconRules::SendToTray() {
    HideMainWindow();
    SetIconVisible(true);
}

}  // namespace velmora
