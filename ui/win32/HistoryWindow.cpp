#include "ui/win32/HistoryWindow.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/windows/WideText.h"
#include "ui/common/HistoryShown.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FormFont.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/ScreenPlace.h"
#include "ui/win32/WindowText.h"

namespace velmora {
namespace {

// The plot's smallest and first sizes, the margin around everything and the words' height, at
// 96 dpi.
constexpr SIZE kPlotMinimum{420, 240};
constexpr SIZE kPlotFirst{760, 400};
constexpr int kMargin = 9;
constexpr int kFontHeight = -12;
constexpr int kLines = 3;

WindowLook Look(HWND owner) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto icon = [instance](int size) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(VELMORA_IDI_PROGRAM),
                                             IMAGE_ICON, size, size, LR_SHARED));
    };
    return {.className = L"VelmoraHistory",
            .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
            .parent = owner,
            .title = L"History",
            .icon = icon(GetSystemMetrics(SM_CXICON)),
            .smallIcon = icon(GetSystemMetrics(SM_CXSMICON)),
            .background = GetSysColorBrush(COLOR_BTNFACE)};
}

// The user's message font at the window's text height.
HFONT CreateWordsFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const wchar_t* face = L"Tahoma";
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        face = metrics.lfMessageFont.lfFaceName;
    }
    return CreateScaledFont(face, kFontHeight, dpi);
}

HWND CreateLabel(HWND parent, int id) {
    // One line each: a line too long for the window ends in an ellipsis rather than running into
    // the next.
    return CreateWindowExW(0, L"STATIC", L"",
                           WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS | SS_NOPREFIX,
                           0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

std::string DateTimeText(double seconds) {
    return LocalTimeText(seconds, L"ddd d MMM yyyy", L"HH':'mm");
}

int LineHeight(HWND window, HFONT font, UINT dpi) {
    const HDC dc = GetDC(window);
    const HGDIOBJ was = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, was);
    ReleaseDC(window, dc);
    return metrics.tmHeight + Scaled(4, dpi);
}

}  // namespace

THistoryWindow::THistoryWindow(HistoryFeed& history, HWND owner)
    : history_(history), window_(Look(owner)) {
    const HWND window = Handle();
    plot_ = std::make_unique<THistoryPlot>(window, PlotId);
    SummaryLabel = CreateLabel(window, SummaryLabelId);
    DriftLabel = CreateLabel(window, DriftLabelId);
    IntervalLabel = CreateLabel(window, IntervalLabelId);
    window_.Listen(this);
    UseDpi(WindowDpi(window));
    // The first size, in the middle of the owner's screen and no larger than it.
    const RECT area = WorkAreaOf(owner);
    SIZE first = OuterFor(kPlotFirst);
    first.cx = std::min<LONG>(first.cx, area.right - area.left);
    first.cy = std::min<LONG>(first.cy, area.bottom - area.top);
    const POINT at = CentredIn(area, first, area);
    SetWindowPos(window, nullptr, at.x, at.y, first.cx, first.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    history_.Appended = [this] {
        if (IsWindowVisible(Handle())) {
            Reload();
        }
    };
}

THistoryWindow::~THistoryWindow() {
    if (listening_) {
        history_.Appended = nullptr;
    }
    window_.Listen(nullptr);
    plot_.reset();
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

void THistoryWindow::Show() {
    if (!IsWindowVisible(Handle())) {
        Reload();
    }
    ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(Handle());
}

void THistoryWindow::Reload() {
    HistoryReading reading = ReadHistory(history_, DateTimeText);
    drift_ = reading.drift;
    SetTextOf(SummaryLabel, reading.summary);
    SetTextOf(DriftLabel, reading.rate);
    SetTextOf(IntervalLabel, reading.interval);
    ShowWindow(IntervalLabel, drift_.known ? SW_SHOW : SW_HIDE);
    plot_->SetHistory(std::move(reading.records), std::move(reading.drift));
    PlaceControls();
}

void THistoryWindow::UseDpi(UINT dpi) {
    dpi_ = dpi;
    const HFONT old = font_;
    font_ = CreateWordsFont(dpi);
    for (HWND label : {SummaryLabel, DriftLabel, IntervalLabel}) {
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    plot_->SetFont(font_, static_cast<double>(dpi) / kDesignDpi);
    lineHeight_ = LineHeight(Handle(), font_, dpi);
    if (old != nullptr) {
        DeleteObject(old);
    }
    PlaceControls();
}

// The plot takes what the lines of words below it leave.
void THistoryWindow::PlaceControls() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int margin = Scaled(kMargin, dpi_);
    std::vector<HWND> lines = {SummaryLabel, DriftLabel};
    if (drift_.known) {
        lines.push_back(IntervalLabel);
    }
    const int width = std::max<int>(0, client.right - 2 * margin);
    int top = client.bottom - margin - static_cast<int>(lines.size()) * lineHeight_;
    MoveWindow(plot_->Handle(), margin, margin, width, std::max(0, top - 2 * margin), TRUE);
    for (HWND label : lines) {
        MoveWindow(label, margin, top, width, lineHeight_, TRUE);
        top += lineHeight_;
    }
}

// The window's outer size around a plot of `plot` (96 dpi pixels) and the words below it.
SIZE THistoryWindow::OuterFor(SIZE plot) const {
    const RECT client{0, 0, Scaled(plot.cx + 2 * kMargin, dpi_),
                      Scaled(plot.cy + 3 * kMargin, dpi_) + kLines * lineHeight_};
    const RECT outer = WindowRectForClient(client, WS_OVERLAPPEDWINDOW, 0, dpi_);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

LRESULT THistoryWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            PlaceControls();
            return 0;
        case WM_GETMINMAXINFO: {
            const SIZE least = OuterFor(kPlotMinimum);
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {least.cx, least.cy};
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                ShowWindow(window, SW_HIDE);
                return 0;
            }
            break;
        case WM_CLOSE:
            ShowWindow(window, SW_HIDE);
            return 0;
        case WM_DESTROY:
            // Its owner goes, and the feed with it, perhaps before this object.
            history_.Appended = nullptr;
            listening_ = false;
            break;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            UseDpi(HIWORD(wParam));
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ShowHistoryWindow(HWND owner, HistoryFeed& history) {
    // Kept for the program's life, as its owner keeps it: hidden when closed, shown again as it
    // was. Windows destroys the window with its owner; the object only lets go of the feed then.
    static std::unique_ptr<THistoryWindow> open;
    if (open == nullptr || !IsWindow(open->Handle())) {
        open = std::make_unique<THistoryWindow>(history, owner);
    }
    open->Show();
}

}  // namespace velmora
