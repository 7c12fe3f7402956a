// The tray icon over a recording shell: the tip it hands over, the icon list, the mouse on the
// icon, the owner going into the tray only where a tray is, and the icon leaving with it.

#include <gtest/gtest.h>

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <memory>
#include <string>

#include "tests/fixtures/windows/FakeTrayShell.h"
#include "ui/win32/CoolTrayIcon.h"
#include "ui/win32/OwnWindow.h"

namespace velmora {
namespace {

class CoolTrayIconTest : public ::testing::Test {
  protected:
    std::unique_ptr<TCoolTrayIcon> MakeIcon() {
        auto icon = std::make_unique<TCoolTrayIcon>(owner.Handle(), tray.Shell());
        icon->SetHint("Velmora");
        icon->SetIconVisible(true);
        icon->MinimizeToTray = true;
        icon->Loaded();
        return icon;
    }
    static void Notify(TCoolTrayIcon& icon, UINT mouseMessage) {
        SendMessageW(icon.HandlerWindow(), TCoolTrayIcon::kCallbackMessage, icon.NotifyData().uID,
                     mouseMessage);
    }

    OwnWindow owner{WindowLook{
        .className = L"Velmora.TrayTestOwner", .style = WS_OVERLAPPEDWINDOW, .title = L"owner"}};
    TrayRecord tray;
};

// An icon not in the tray is not handed to the shell until it goes in, with all set before.
TEST_F(CoolTrayIconTest, NothingForTheShellBeforeTheIconGoesIn) {
    TCoolTrayIcon icon(owner.Handle(), tray.Shell());
    icon.SetHint("Velmora");
    icon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    icon.SetTipDetails("first");
    EXPECT_TRUE(tray.calls.empty());
    icon.SetIconVisible(true);
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(tray.calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_STREQ(tray.calls[0].data.szTip, L"Velmora\nfirst");
    EXPECT_NE(tray.calls[0].data.hIcon, nullptr);
    // The shell's field holds 127 units, the status lines and all: those that fit whole.
    const std::string line(50, 'b');
    icon.SetTipDetails(line + "\n" + line + "\n" + line);
    EXPECT_EQ(std::wstring(tray.calls.back().data.szTip),
              L"Velmora\n" + std::wstring(50, L'b') + L"\n" + std::wstring(50, L'b'));
    icon.SetIconVisible(false);
    const std::size_t removed = tray.calls.size();
    icon.SetHint("later");
    EXPECT_EQ(tray.calls.size(), removed);
}

TEST_F(CoolTrayIconTest, IconListAndIndex) {
    TImageList list;
    const HICON picture = LoadIconW(nullptr, IDI_APPLICATION);
    list.Add(picture);
    list.Add(picture);
    auto icon = MakeIcon();
    icon->SetIconList(&list);
    EXPECT_EQ(icon->IconIndex(), 0);
    icon->SetIconIndex(1);
    EXPECT_NE(icon->Icon(), nullptr);
    EXPECT_EQ(icon->NotifyData().hIcon, icon->Icon());
    icon->SetIconList(nullptr);
    icon->SetIconIndex(3);
    EXPECT_EQ(icon->IconIndex(), 0);
    EXPECT_NE(icon->Icon(), nullptr) << "the last image copied stays";
}

TEST_F(CoolTrayIconTest, TheIconLeavesWithItsComponent) {
    auto icon = MakeIcon();
    EXPECT_TRUE(tray.holding);
    const UINT id = icon->NotifyData().uID;
    icon.reset();
    EXPECT_FALSE(tray.holding);
    EXPECT_EQ(tray.calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(tray.calls.back().data.uID, id);
}

TEST_F(CoolTrayIconTest, DoubleClickRaisesTheEvent) {
    auto icon = MakeIcon();
    int clicks = 0;
    icon->OnDblClick = [&](TrayIconRules* sender) {
        EXPECT_EQ(sender, icon.get());
        ++clicks;
    };
    Notify(*icon, WM_LBUTTONDBLCLK);
    Notify(*icon, WM_LBUTTONUP);  // single clicks do nothing here
    EXPECT_EQ(clicks, 1);
}

// Hidden into the tray only when the shell took the icon; a shell that lost a visible icon gets
// it again with the next update.
TEST_F(CoolTrayIconTest, TheOwnerHidesOnlyIntoATray) {
    for (const bool present : {true, false}) {
        tray = TrayRecord{};
        tray.present = present;
        auto icon = MakeIcon();
        ShowWindow(owner.Handle(), SW_SHOWNOACTIVATE);
        icon->HideMainWindow();
        EXPECT_EQ(IsWindowVisible(owner.Handle()) != FALSE, !present) << present;
        icon->RestoreMainWindow();
        EXPECT_TRUE(IsWindowVisible(owner.Handle())) << present;
    }
    tray = TrayRecord{};
    auto icon = MakeIcon();
    tray.holding = false;
    icon->SetHint("Velmora again");
    EXPECT_TRUE(tray.holding);
    EXPECT_EQ(tray.calls.back().message, static_cast<DWORD>(NIM_ADD));
}

// Explorer restarted: "TaskbarCreated" to the icon's window brings back an icon that was visible,
// and only such a one.
TEST_F(CoolTrayIconTest, TaskbarCreatedOnlyForAVisibleIcon) {
    auto icon = MakeIcon();
    icon->SetIconVisible(false);
    const int before = tray.Count(NIM_ADD);
    SendMessageW(icon->HandlerWindow(), TCoolTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(tray.Count(NIM_ADD), before);
    icon->SetIconVisible(true);
    tray.holding = false;
    SendMessageW(icon->HandlerWindow(), TCoolTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(tray.Count(NIM_ADD), before + 2);
    // Nobody closes the icons' window from outside.
    SendMessageW(icon->HandlerWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(icon->HandlerWindow()));
}

}  // namespace
}  // namespace velmora
