// The Windows History window under Wine over made-up histories: the figures it shows, what the
// plot draws in which colour, records kept while it is open, its size, the answers' tips, and the
// one window the tray menu opens.

#include "ui/win32/HistoryWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/fixtures/FakeHistoryStore.h"
#include "tests/fixtures/MadeUpHistory.h"
#include "tests/fixtures/windows/WindowTest.h"
#include "ui/common/HistoryLook.h"

namespace velmora {
namespace {

struct Pixels {
    std::vector<COLORREF> colours;
    int Count(const Rgb& rgb) const {
        int count = 0;
        for (COLORREF c : colours) {
            count +=
                GetRValue(c) == rgb.red && GetGValue(c) == rgb.green && GetBValue(c) == rgb.blue
                    ? 1
                    : 0;
        }
        return count;
    }
};

class HistoryWindowTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { test::UseOwnDesktop(); }

    void Open() {
        window = std::make_unique<THistoryWindow>(feed, nullptr);
        window->Show();
        test::PumpFor(50);
    }
    std::string Text(HWND label) const { return test::TextOf(label); }
    // The plot as it paints itself, read back pixel by pixel.
    Pixels Painted() const {
        const HWND plot = window->Plot().Handle();
        RECT client{};
        GetClientRect(plot, &client);
        const HDC screen = GetDC(plot);
        const HDC dc = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageW(plot, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        Pixels pixels;
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                pixels.colours.push_back(GetPixel(dc, x, y));
            }
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(plot, screen);
        return pixels;
    }

    FakeHistoryStore store;
    HistoryFeed feed{store};
    std::unique_ptr<THistoryWindow> window;
};

TEST_F(HistoryWindowTest, ADayOfSteadyDriftInFiguresAndColours) {
    store.Records = MakeHistory({.ppm = 12, .stepsAt = {9}, .authenticatedEvery = 4});
    Open();
    EXPECT_EQ(test::TextOf(window->Handle()), "History");
    EXPECT_TRUE(GetWindowLongPtrW(window->Handle(), GWL_STYLE) & WS_THICKFRAME) << "resizable";
    EXPECT_EQ(Text(window->DriftLabel),
              "The computer clock gains 1.04 s a day (+12.0 ppm), from 96 answers and 1 step "
              "over 24 hours.");
    EXPECT_EQ(Text(window->IntervalLabel),
              "Synchronizing every 23 hours keeps it within one second.");
    EXPECT_TRUE(IsWindowVisible(window->IntervalLabel));
    EXPECT_EQ(Text(window->SummaryLabel)
                  .rfind("96 answers (24 authenticated) and 1 step of the clock since ", 0),
              0u)
        << Text(window->SummaryLabel);
    const THistoryPlot::Range& shown = window->Plot().Shown();
    for (const HistoryRecord& record : store.Records) {
        EXPECT_GT(record.unixSeconds, shown.fromSeconds);
        EXPECT_LT(record.unixSeconds, shown.toSeconds);
    }
    const Pixels painted = Painted();
    EXPECT_GT(painted.Count(kPlainAnswerColour), 100) << "dots";
    EXPECT_GT(painted.Count(kAuthenticatedColour), 100) << "squares";
    EXPECT_GT(painted.Count(kStepColour), 50) << "our step, dashed in red";
    EXPECT_GT(painted.Count(kDriftColour), 100) << "the drift lines";
    EXPECT_EQ(painted.Count(kOtherStepColour), 0) << "no other program stepped";

    // Records kept while it is open show at once; not while it is hidden.
    feed.Append(
        {HistoryRecord::Kind::Step, store.Records.back().unixSeconds + 60, "", 0.5, 0, false});
    EXPECT_NE(Text(window->SummaryLabel).find("and 2 steps of the clock"), std::string::npos);
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window->Handle())) << "closing hides it";
    feed.Append(
        {HistoryRecord::Kind::Step, store.Records.back().unixSeconds + 60, "", 0.5, 0, false});
    EXPECT_NE(Text(window->SummaryLabel).find("and 2 steps"), std::string::npos);
    window->Show();
    EXPECT_NE(Text(window->SummaryLabel).find("and 3 steps"), std::string::npos)
        << "read again when shown";
    EXPECT_EQ(store.Records.size(), 99u);
}

TEST_F(HistoryWindowTest, AStepByAnotherProgramIsDrawnApart) {
    store.Records = MakeHistory({.ppm = 0, .othersAt = {12.1}, .othersBy = 2});
    Open();
    EXPECT_EQ(Text(window->SummaryLabel)
                  .rfind("97 answers (0 authenticated) and 1 step of the clock (1 by another "
                         "program) since ",
                         0),
              0u);
    const Pixels painted = Painted();
    EXPECT_GT(painted.Count(kOtherStepColour), 50);
    EXPECT_LT(painted.Count(kAuthenticatedColour), 60) << "only the legend's square";
}

TEST_F(HistoryWindowTest, TooFewAnswersAndNoneAtAll) {
    Open();
    EXPECT_EQ(Text(window->SummaryLabel), "No answers and no steps of the clock kept yet.");
    EXPECT_EQ(Text(window->DriftLabel).rfind("Too few answers yet to tell the drift", 0), 0u);
    EXPECT_FALSE(IsWindowVisible(window->IntervalLabel));
    EXPECT_EQ(Painted().Count(kPlainAnswerColour), 0);
    store.Records = MakeHistory({.hours = 0.5});
    window->Reload();
    EXPECT_EQ(Text(window->SummaryLabel).rfind("3 answers (0 authenticated) and 0 steps", 0), 0u);
    EXPECT_GT(Painted().Count(kPlainAnswerColour), 20);
}

TEST_F(HistoryWindowTest, ItsSizeAndTheTipsOfTheAnswers) {
    store.Records = MakeHistory({.ppm = 12, .authenticatedEvery = 2});
    Open();
    // No smaller than the plot's least size, and the plot takes what the words leave.
    SetWindowPos(window->Handle(), nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
    RECT outer{};
    GetWindowRect(window->Handle(), &outer);
    EXPECT_GE(outer.right - outer.left, 420);
    EXPECT_GE(outer.bottom - outer.top, 240);
    SetWindowPos(window->Handle(), nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{}, plot{}, words{};
    GetClientRect(window->Handle(), &client);
    plot = test::PlaceInParent(window->Plot().Handle());
    words = test::PlaceInParent(window->IntervalLabel);
    EXPECT_GT(plot.right - plot.left, client.right - 30);
    EXPECT_LT(plot.bottom, words.top);
    EXPECT_GT(words.top, client.bottom - 80);

    // The tip of an answer's mark, and none between them.
    const HistoryPicture picture = window->Plot().Picture();
    const AnswerMarkAt& mark = picture.answers[11];
    const POINT at{static_cast<LONG>(mark.at.x) + 1, static_cast<LONG>(mark.at.y)};
    const std::string tip = window->Plot().TipAt(at);
    EXPECT_NE(tip.find(", authenticated\noffset "), std::string::npos) << tip;
    EXPECT_NE(tip.find(", round trip "), std::string::npos) << tip;
    EXPECT_EQ(window->Plot().TipAt({static_cast<LONG>(picture.area.left) + 1, 2}), "");
}

TEST_F(HistoryWindowTest, TheTrayMenusWindowIsOneAndGoesWithItsOwner) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                       nullptr, nullptr, nullptr, nullptr);
    const auto windows = [] {
        int count = 0;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) -> BOOL {
                wchar_t name[32] = L"";
                GetClassNameW(window, name, 32);
                *reinterpret_cast<int*>(found) += std::wstring(name) == L"VelmoraHistory" ? 1 : 0;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
        return count;
    };
    ShowHistoryWindow(owner, feed);
    ShowHistoryWindow(owner, feed);
    EXPECT_EQ(windows(), 1);
    const HWND shown = FindWindowW(L"VelmoraHistory", L"History");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(GetWindow(shown, GW_OWNER), owner);
    EXPECT_TRUE(IsWindowVisible(shown));
    PostMessageW(shown, WM_KEYDOWN, VK_ESCAPE, 0);
    test::PumpFor(50);
    EXPECT_FALSE(IsWindowVisible(shown)) << "Esc closes it";
    ShowHistoryWindow(owner, feed);
    EXPECT_EQ(FindWindowW(L"VelmoraHistory", L"History"), shown) << "the same window again";
    DestroyWindow(owner);
    EXPECT_EQ(windows(), 0) << "gone with its owner";
    feed.Append({HistoryRecord::Kind::Answer, 1796083200, "x", 0.1, 0.01, false});
    EXPECT_EQ(store.Records.size(), 1u) << "the feed goes on without it";
}

}  // namespace
}  // namespace velmora
