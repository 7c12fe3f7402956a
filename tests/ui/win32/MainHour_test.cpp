// The main window over fake platform services, under Wine: the form as designed, the status
// texts on mouse-over, what the tray icon hands the shell, minimizing to the tray and back, the
// busy cursor around a query, the keyboard, the DPI, and saving the settings on every way out.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// <windows.h> before the headers that build on it.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <string_view>

#include "net/SNTPsend.h"
#include "platform/windows/WideText.h"
#include "sync/SettingsTable.h"
#include "tests/fixtures/FakePlatform.h"
#include "tests/fixtures/windows/FakeTrayShell.h"
#include "tests/fixtures/windows/WindowTest.h"
#include "ui/win32/Application.h"
#include "ui/win32/MainHour.h"
#include "ui/win32/OwnWindow.h"

namespace velmora {
namespace {

using test::PumpUntil;
using test::TextOf;

class MainHourTest : public ::testing::Test, protected FakePlatform {
  protected:
    std::unique_ptr<TTimeForm> MakeForm() {
        return std::make_unique<TTimeForm>(Services(), tray.Shell());
    }
    // Shown as the entry shows it: the icon goes in once the window is drawn.
    std::unique_ptr<TTimeForm> StartForm(int showCommand = SW_SHOWNORMAL) {
        auto form = MakeForm();
        form->ShowAtStart(showCommand);
        EXPECT_TRUE(PumpUntil([&] { return form->TrayIcon().IconVisible(); }));
        return form;
    }

    // The icon's notification as the shell sends it.
    static void TrayNotify(TTimeForm& form, UINT mouseMessage) {
        SendMessageW(form.TrayIcon().HandlerWindow(), TCoolTrayIcon::kCallbackMessage,
                     form.TrayIcon().NotifyData().uID, mouseMessage);
    }
    static void Command(TTimeForm& form, int id) {
        SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(form.Control(id)));
    }
    static bool QuitPosted() {
        MSG quit{};
        return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    }

    // Whether this thread has a window of `className` (other test programs may have theirs).
    static bool HasOwnWindow(const wchar_t* className) {
        struct Search {
            const wchar_t* name;
            bool found = false;
        } search{className};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM l) {
                auto& search = *reinterpret_cast<Search*>(l);
                wchar_t name[64] = {};
                GetClassNameW(window, name, 64);
                search.found = search.found || wcscmp(name, search.name) == 0;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    TrayRecord tray;
};

TEST_F(MainHourTest, FormAsDesigned) {
    auto form = MakeForm();
    wchar_t className[32] = {};
    GetClassNameW(form->Handle(), className, 32);
    EXPECT_STREQ(className, L"TTimeForm");
    EXPECT_EQ(TextOf(form->Handle()), "Velmora");
    ASSERT_EQ(form->Dpi(), 96u) << "the run's display is not at 96 dpi";
    RECT client{};
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 315);
    EXPECT_EQ(client.bottom, 151);
    const LONG_PTR style = GetWindowLongPtrW(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
    // Centred on the work area.
    RECT frame{};
    GetWindowRect(form->Handle(), &frame);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 1);
    // Start-up emptied both fields and the status line.
    EXPECT_EQ(form->ServerTimeText(), "");
    EXPECT_EQ(form->StatusText(), "");
    EXPECT_EQ(TextOf(form->Control(kLabel1Id)), "Current time");
    EXPECT_EQ(TextOf(form->Control(kLabel2Id)), "Atomic clock time");
    // The manifest the front end carries asks for the common controls of visual styles, which
    // come from the side-by-side store (Wine's own DllGetVersion says 5 for both).
    wchar_t controls[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), controls, MAX_PATH);
    EXPECT_THAT(Narrow(controls), ::testing::HasSubstr("common-controls_6595b64144ccf1df_6.0."));
}

TEST_F(MainHourTest, ControlsAtTheirDesignedPlaces) {
    struct Place {
        int id;
        RECT rect;  // left, top, right, bottom at 96 dpi
        const char* text;
    };
    const Place places[] = {
        {kCheckTimeServerButtonId, {2, 0, 64, 73}, "Get time"},
        {kAdjustClockButtonId, {64, 0, 126, 73}, "Adjust time"},
        {kSpeedButton2Id, {126, 0, 188, 73}, "Properties"},
        {kSpeedButton3Id, {188, 0, 250, 73}, "Help"},
        {kSpeedButton1Id, {250, 0, 312, 73}, "Exit"},
        {kBevel1Id, {0, 80, 313, 82}, ""},
        {kLabel1Id, {2, 88, 148, 102}, "Current time"},
        {kLabel2Id, {167, 88, 313, 102}, "Atomic clock time"},
        {kLocalPCEditId, {2, 104, 147, 121}, nullptr},
        {kTimeServerEditId, {167, 104, 312, 121}, ""},
        {kStatusBar1Id, {0, 132, 315, 151}, ""},
    };
    auto form = MakeForm();
    for (const Place& place : places) {
        const HWND control = form->Control(place.id);
        ASSERT_NE(control, nullptr) << place.id;
        const RECT at = test::PlaceInParent(control);
        EXPECT_EQ(at.left, place.rect.left) << place.id;
        EXPECT_EQ(at.top, place.rect.top) << place.id;
        EXPECT_EQ(at.right, place.rect.right) << place.id;
        EXPECT_EQ(at.bottom, place.rect.bottom) << place.id;
        if (place.text != nullptr) {
            EXPECT_EQ(TextOf(control), place.text) << place.id;
        }
        EXPECT_TRUE(IsWindowEnabled(control)) << place.id;
        EXPECT_TRUE(IsWindowVisible(control) || !IsWindowVisible(form->Handle())) << place.id;
    }
    // The picture buttons take the keyboard's focus and draw themselves; the fields hear the
    // mouse.
    for (int id = kCheckTimeServerButtonId; id <= kSpeedButton1Id; ++id) {
        const LONG_PTR style = GetWindowLongPtrW(form->Control(id), GWL_STYLE);
        EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW) << id;
        EXPECT_TRUE(style & WS_TABSTOP) << id;
    }
    for (const int id : {kLocalPCEditId, kTimeServerEditId}) {
        EXPECT_TRUE(GetWindowLongPtrW(form->Control(id), GWL_STYLE) & SS_NOTIFY) << id;
    }
}

TEST_F(MainHourTest, StatusTextFollowsTheMouseAndStaysAfterIt) {
    const std::pair<int, const char*> expected[] = {
        {kCheckTimeServerButtonId, "Get time information from the atomic clock..."},
        {kAdjustClockButtonId, "Adjust the computer clock..."},
        {kSpeedButton2Id, "Change properties of the program..."},
        {kSpeedButton3Id, "Display help about the program..."},
        {kSpeedButton1Id, "Exit the program..."},
        {kLocalPCEditId, "Current time of the computer clock..."},
        {kTimeServerEditId, "Time information retreived from the atomic clock..."},
    };
    auto form = MakeForm();
    for (const auto& [id, text] : expected) {
        PostMessageW(form->Control(id), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        EXPECT_TRUE(PumpUntil([&] { return form->StatusText() == text; }, 2000)) << text;
    }
    // Controls without a text, and the form itself, leave the last one standing.
    for (const HWND other : {form->Control(kLabel1Id), form->Control(kBevel1Id), form->Handle()}) {
        PostMessageW(other, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    }
    test::PumpFor(100);
    EXPECT_EQ(form->StatusText(), "Time information retreived from the atomic clock...");
}

TEST_F(MainHourTest, TrayMenuAsDesigned) {
    // Made with the icon, after the first drawing.
    EXPECT_EQ(MakeForm()->TrayMenu(), nullptr);
    auto form = StartForm();
    const HMENU menu = form->TrayMenu();
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    const auto caption = [menu](int position) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
        return std::wstring(text);
    };
    EXPECT_EQ(caption(0), L"Synchronize computer clock");
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(caption(2), L"Restore program");
    EXPECT_EQ(caption(3), L"Exit program");
    // One item added after the designed ones.
    EXPECT_EQ(caption(4), L"History...");
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(kSynchronizecomputerclock1Id));
    EXPECT_EQ(GetMenuItemID(menu, 3), static_cast<UINT>(kExitprogram1Id));
    EXPECT_EQ(form->TrayIcon().PopupMenu, menu);
}

// What the shell is handed: the icon added once, after the drawing, with the hint and the status as
// its tip, the notifications to the hidden window, then the status after the hint, cut to 127
// characters; the server field's tooltip carries the status whole.
TEST_F(MainHourTest, TheTrayIconsRecordAndTheStatusTips) {
    auto form = MakeForm();
    // Neither the shell, nor the icons' window, nor the tooltip before the window is drawn; a
    // status meanwhile is kept.
    EXPECT_TRUE(tray.calls.empty());
    EXPECT_FALSE(HasOwnWindow(L"TTrayIconHandler"));
    EXPECT_EQ(form->Tooltip(), nullptr);
    form->SetTimeStatus({"Early"});
    const auto toolText = [&] {
        wchar_t shown[512] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = form->Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(form->Control(kTimeServerEditId));
        tool.lpszText = shown;
        SendMessageW(form->Tooltip(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(shown);
    };
    form->ShowAtStart(SW_SHOWNORMAL);
    ASSERT_TRUE(PumpUntil([&] { return tray.Count(NIM_ADD) >= 1; }));
    EXPECT_EQ(toolText(), L"Early");
    // Nothing before the icon goes in with everything set: each call is a wait for Explorer.
    EXPECT_EQ(tray.calls.front().message, static_cast<DWORD>(NIM_ADD));
    const NOTIFYICONDATAW& added = tray.calls.front().data;
    EXPECT_EQ(added.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(added.hWnd, form->TrayIcon().HandlerWindow());
    EXPECT_EQ(added.uCallbackMessage, 0x0800u);
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_NE(form->TrayIcon().NotifyData().hIcon, nullptr);
    EXPECT_EQ(tray.LastTip(), L"Velmora\nEarly");
    EXPECT_TRUE(form->TrayIcon().TrayAvailable());

    const std::string longLine(200, 'x');
    form->SetTimeStatus({"Last answer " + longLine, "Clock not set since the program started"});
    const std::wstring tip = tray.LastTip();
    EXPECT_EQ(tip.size(), 127u);
    EXPECT_EQ(tip.substr(0, 20), L"Velmora\nLast answer ");
    EXPECT_EQ(form->ServerFieldTip(),
              "Last answer " + longLine + "\nClock not set since the program started");

    // The tooltip control holds it for the field too.
    EXPECT_EQ(toolText().substr(0, 12), L"Last answer ");
}

// The repeated-failure warning comes as the icon's balloon, with the warning sign.
TEST_F(MainHourTest, TheWarningIsABalloon) {
    auto form = StartForm();
    form->ShowNotification("Velmora cannot get the time", std::string(300, 'y'));
    ASSERT_FALSE(tray.calls.empty());
    const FakeTrayShell::Call& balloon = tray.calls.back();
    EXPECT_EQ(balloon.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(balloon.data.uFlags & NIF_INFO);
    EXPECT_EQ(balloon.data.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_STREQ(balloon.data.szInfoTitle, L"Velmora cannot get the time");
    EXPECT_EQ(std::wstring(balloon.data.szInfo).size(), 255u);
    // The next update does not show it again.
    form->SetTimeStatus({"later"});
    EXPECT_FALSE(tray.calls.back().data.uFlags & NIF_INFO);
}

TEST_F(MainHourTest, MinimizeGoesToTheTrayAndADoubleClickBringsItBack) {
    auto form = StartForm();
    ASSERT_TRUE(IsWindowVisible(form->Handle()));
    ShowWindow(form->Handle(), SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    TrayNotify(*form, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(IsIconic(form->Handle()));
    // "Restore program" does the same, however the window went.
    ShowWindow(form->Handle(), SW_HIDE);
    Command(*form, kRestoreprogram1Id);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    // With the icon disabled the double click does nothing.
    ShowWindow(form->Handle(), SW_MINIMIZE);
    form->TrayIcon().Enabled = false;
    TrayNotify(*form, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

// Without a tray that took the icon the window never hides: nothing could bring it back.
TEST_F(MainHourTest, NoTrayNoHiding) {
    tray.present = false;
    profile.Set("Data", "GlobalMinimize", "1");
    auto form = MakeForm();
    EXPECT_FALSE(form->TrayIcon().TrayAvailable());
    form->ShowAtStart(SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(IsIconic(form->Handle()));
    ShowWindow(form->Handle(), SW_RESTORE);
    form->Rules().ApplicationEvents1Activate();
    form->Rules().ApplicationEvents1Deactivate();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    // The tray comes later: the minimized window goes to it.
    tray.present = true;
    ShowWindow(form->Handle(), SW_MINIMIZE);
    SendMessageW(form->TrayIcon().HandlerWindow(), TCoolTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(form->TrayIcon().TrayAvailable());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(MainHourTest, MinimizedAtStartShowsOnlyTheIcon) {
    profile.Set("Data", "GlobalMinimize", "1");
    auto form = MakeForm();
    form->ShowAtStart(SW_SHOWNORMAL);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    TrayNotify(*form, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(IsIconic(form->Handle()));
}

// Another program became active: the window hides into the tray, unless a window of ours is
// modal over it or it has not been active since it was shown.
TEST_F(MainHourTest, DeactivationHidesOnlyAWindowThatWasLeft) {
    auto form = StartForm(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(IsWindowVisible(form->Handle()));
    form->Rules().ApplicationEvents1Deactivate();
    EXPECT_TRUE(IsWindowVisible(form->Handle())) << "never active since shown";
    SendMessageW(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EnableWindow(form->Handle(), FALSE);  // as under a modal dialog
    form->Rules().ApplicationEvents1Deactivate();
    EXPECT_TRUE(IsWindowVisible(form->Handle())) << "hidden under a modal window";
    EnableWindow(form->Handle(), TRUE);
    SendMessageW(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    // Activation starts the display refresh.
    SendMessageW(form->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(form->DisplayTimer().Running());
}

// Under Wine an XEmbed tray takes the activation when it docks an icon, with windows of its own
// (an X window holding Wine's, the icon's window): the window stays and is active again. Any
// other window taking it still hides it.
TEST_F(MainHourTest, ATrayDockingTheIconLeavesTheWindowShown) {
    auto form = StartForm();
    SendMessageW(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    // The other program last: the window hides.
    for (const std::wstring_view taker :
         {L"__wine_x11_foreign_window", L"__winex11_tray_icon", L"Velmora.OtherProgram"}) {
        SCOPED_TRACE(testing::Message() << Narrow(std::wstring(taker)));
        const bool byTray = taker.starts_with(L"__");
        SetForegroundWindow(form->Handle());
        // Ours, so that the activation moves at once; the application's word comes apart.
        OwnWindow other(
            WindowLook{.className = std::wstring(taker).c_str(), .style = WS_POPUP | WS_VISIBLE});
        SetForegroundWindow(other.Handle());
        SendMessageW(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
        EXPECT_EQ(IsWindowVisible(form->Handle()) != FALSE, byTray);
        EXPECT_EQ(GetActiveWindow() == form->Handle(), byTray);
    }
}

TEST_F(MainHourTest, BusyCursorOnlyWhileTheQueryRuns) {
    auto form = StartForm();
    Command(*form, kCheckTimeServerButtonId);
    // The click came back at once; the query runs on the worker under the hourglass.
    EXPECT_TRUE(form->BusyCursor());
    EXPECT_TRUE(PumpUntil([&] { return form->ServerTimeText() == kFailedToContact; }));
    EXPECT_TRUE(PumpUntil([&] { return !form->BusyCursor(); }));
    EXPECT_EQ(clientsMade, 1);
    EXPECT_THAT(form->ServerFieldTip(), ::testing::StartsWith("The server gave no time:\n"));
    EXPECT_THAT(tray.LastTip(), ::testing::StartsWith(L"Velmora\nThe server gave no time:"));
}

// Enter presses the picture button in focus, as Space does; Tab goes along the row.
TEST_F(MainHourTest, TheButtonsAnswerTheKeyboard) {
    auto form = MakeForm();
    form->ShowAtStart(SW_SHOWNORMAL);
    SetForegroundWindow(form->Handle());
    SetFocus(form->Control(kCheckTimeServerButtonId));
    ASSERT_EQ(GetFocus(), form->Control(kCheckTimeServerButtonId));
    MSG tab{form->Control(kCheckTimeServerButtonId), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    TApplication::Dispatch(tab);
    EXPECT_EQ(GetFocus(), form->Control(kAdjustClockButtonId));
    MSG enter{form->Control(kSpeedButton1Id), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    TApplication::Dispatch(enter);
    EXPECT_TRUE(form->Rules().UserEnded());
    EXPECT_TRUE(QuitPosted());
}

// The window at 144 dpi: the form data scaled, the font too.
TEST_F(MainHourTest, AnotherDpiScalesTheForm) {
    auto form = MakeForm();
    RECT suggested{100, 100, 700, 500};
    SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form->Dpi(), 144u);
    RECT client{};
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 473);  // 315 * 1.5, rounded
    EXPECT_EQ(client.bottom, 227);
    RECT frame{};
    GetWindowRect(form->Handle(), &frame);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 100);
    const RECT adjust = test::PlaceInParent(form->Control(kAdjustClockButtonId));
    EXPECT_EQ(adjust.left, 96);
    EXPECT_EQ(adjust.right - adjust.left, 93);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form->Control(kLabel1Id), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -17);  // -11 * 1.5, rounded
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
}

// Another program set the clock: Windows says so, and the history hears of it.
TEST_F(MainHourTest, TimeChangeTellsTheController) {
    auto form = MakeForm();
    clockWatch.Change = 90;
    SendMessageW(form->Handle(), WM_TIMECHANGE, 0, 0);
    ASSERT_FALSE(history.Records.empty());
    EXPECT_EQ(history.Records.back().kind, HistoryRecord::Kind::OtherStep);
    EXPECT_DOUBLE_EQ(history.Records.back().offsetSeconds, 90);
}

TEST_F(MainHourTest, EveryWayOutEndsTheLoopAsTheUsersEnd) {
    for (const int way :
         {static_cast<int>(kSpeedButton1Id), static_cast<int>(kExitprogram1Id), 0}) {
        auto form = MakeForm();
        if (way == 0) {
            SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
        } else {
            Command(*form, way);
        }
        EXPECT_TRUE(QuitPosted()) << way;
        EXPECT_TRUE(form->Rules().UserEnded()) << way;
        EXPECT_TRUE(IsWindow(form->Handle())) << "the entry saves, then the window goes";
    }
}

// A window the form owns (the History window) goes before the form's parts it shows.
TEST_F(MainHourTest, OwnedWindowsGoFirst) {
    struct Watch : MessageHandler {
        HWND owner = nullptr;
        bool ownerThere = false;
        LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l) override {
            if (message == WM_DESTROY) {
                ownerThere = IsWindow(owner) != FALSE;
            }
            return DefWindowProcW(window, message, w, l);
        }
    } watch;
    auto form = MakeForm();
    watch.owner = form->Handle();
    OwnWindow owned(
        WindowLook{.className = L"Velmora.OwnedTest", .style = WS_POPUP, .parent = form->Handle()});
    owned.Listen(&watch);
    form.reset();
    EXPECT_FALSE(IsWindow(owned.Handle()));
    EXPECT_TRUE(watch.ownerThere);
}

// The session ends: the settings are written when Windows asks, and again when it ends, with no
// box for anyone to close.
TEST_F(MainHourTest, TheSessionsEndSavesWithoutABox) {
    auto form = MakeForm();
    EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(profile.Replaces, 1);
    SendMessageW(form->Handle(), WM_ENDSESSION, FALSE, 0);  // cancelled
    EXPECT_EQ(profile.Replaces, 1);
    SendMessageW(form->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(profile.Replaces, 2);

    profile.FailWrites = true;
    auto failing = MakeForm();
    test::BoxPresser presser;
    ::testing::internal::CaptureStderr();
    SendMessageW(failing->Handle(), WM_ENDSESSION, TRUE, 0);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    test::PumpFor(100);
    EXPECT_TRUE(presser.texts.empty());
    EXPECT_THAT(errors, ::testing::HasSubstr("Unable to write to "));
}

TEST_F(MainHourTest, FailedSaveIsShownWhenTheUserEndedTheProgram) {
    profile.FailWrites = true;
    auto form = MakeForm();
    test::BoxPresser presser;
    Command(*form, kSpeedButton1Id);
    // Taken first, as the program's loop takes it: a box would end at once on it.
    EXPECT_TRUE(QuitPosted());
    EXPECT_NO_THROW(form->Rules().FormDestroy());
    ASSERT_EQ(presser.texts.size(), 1u);
    EXPECT_EQ(presser.titles[0], "Velmora");
    EXPECT_THAT(presser.texts[0], ::testing::StartsWith("Unable to write to "));
}

}  // namespace
}  // namespace velmora
