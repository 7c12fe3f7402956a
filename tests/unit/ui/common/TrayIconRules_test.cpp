// The tray icon's rules over a fake tray and owner: the tip, the image index, what a click does,
// and when the owner goes into the tray and comes back.

#include "ui/common/TrayIconRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fixtures/FakeTrayIcon.h"

namespace velmora {
namespace {

TEST(TrayIconRules, EveryTipSettingReachesTheTray) {
    FakeTrayIcon icon;
    EXPECT_TRUE(icon.ShowHint());
    icon.SetHint("Velmora");
    icon.SetTipDetails("first\nsecond");
    EXPECT_EQ(icon.TipText(), "Velmora\nfirst\nsecond");
    icon.SetShowHint(false);
    EXPECT_EQ(icon.TipText(), "");
    EXPECT_EQ(icon.Hint(), "Velmora") << "the hint is kept";
    EXPECT_EQ(icon.updates, 3);
}

TEST(TrayIconRules, TheIconIndexStaysInTheList) {
    const struct {
        int images;
        int asked;
        int index;
        int taken;
    } cases[] = {{0, 3, 0, -1}, {3, 1, 1, 1}, {3, 7, 2, 2}, {3, -4, 0, 0}};
    for (const auto& c : cases) {
        FakeTrayIcon icon;
        icon.images = c.images;
        icon.SetIconIndex(c.asked);
        EXPECT_EQ(icon.IconIndex(), c.index) << c.images << " images, " << c.asked;
        EXPECT_EQ(icon.taken, c.taken) << "an empty list keeps the icon";
        EXPECT_EQ(icon.updates, 1);
    }
}

TEST(TrayIconRules, ClicksOnTheIcon) {
    FakeTrayIcon icon;
    TrayIconRules* sender = nullptr;
    icon.OnDblClick = [&](TrayIconRules* s) { sender = s; };
    icon.Clicked(TrayGesture::Restore);
    EXPECT_EQ(sender, &icon);
    icon.Clicked(TrayGesture::Menu);
    icon.Enabled = false;
    icon.Clicked(TrayGesture::Restore);
    icon.Clicked(TrayGesture::Menu);
    icon.Enabled = true;
    icon.OnDblClick = nullptr;
    icon.Clicked(TrayGesture::Restore);  // unassigned: the menu's default item still runs
    EXPECT_EQ(icon.calls, (std::vector<std::string>{"default", "menu", "default"}));
}

TEST(TrayIconRules, TheOwnerHidesOnlyIntoATray) {
    for (const bool tray : {true, false}) {
        FakeTrayIcon icon;
        icon.trayThere = tray;
        icon.HideMainWindow();
        EXPECT_EQ(icon.ownerVisible, !tray) << tray;
        icon.RestoreMainWindow();
        EXPECT_TRUE(icon.ownerVisible) << tray;
    }
}

TEST(TrayIconRules, AMinimizedOwnerGoesToTheTrayWhenItMay) {
    const struct {
        bool minimizeToTray;
        bool tray;
        bool minimized;
        bool goes;
    } cases[] = {{true, true, true, true},
                 {false, true, true, false},
                 {true, false, true, false},
                 {true, true, false, false}};
    for (const auto& c : cases) {
        for (const bool came : {false, true}) {
            FakeTrayIcon icon;
            icon.MinimizeToTray = c.minimizeToTray;
            icon.trayThere = c.tray;
            icon.ownerMinimized = c.minimized;
            came ? icon.TrayCame() : icon.OwnerStateChanged();
            EXPECT_EQ(!icon.ownerVisible, c.goes) << c.minimizeToTray << c.tray << c.minimized;
            EXPECT_EQ(icon.IconVisible(), c.goes);
        }
    }
}

// Only an owner this icon hid, and that nobody has shown since, comes back when the tray goes.
TEST(TrayIconRules, TheTrayGoingBringsBackTheOwnerItHid) {
    FakeTrayIcon icon;
    icon.HideMainWindow();
    icon.TrayGone();
    EXPECT_FALSE(icon.ownerVisible) << "the tray is there still";
    icon.trayThere = false;
    icon.TrayGone();
    EXPECT_TRUE(icon.ownerVisible);

    icon.trayThere = true;
    icon.HideMainWindow();
    icon.OwnerShown();
    icon.ownerVisible = false;  // the program's own doing, on its way out say
    icon.trayThere = false;
    icon.TrayGone();
    EXPECT_FALSE(icon.ownerVisible);
}

}  // namespace
}  // namespace velmora
