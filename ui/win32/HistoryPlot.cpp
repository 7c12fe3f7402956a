#include "ui/win32/HistoryPlot.h"

#include <commctrl.h>

#include <cmath>

#include "platform/windows/WideText.h"
#include "ui/common/HistoryLook.h"
#include "ui/common/HistoryTexts.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/GdiPens.h"

namespace velmora {
namespace {

int Px(double v) {
    return static_cast<int>(std::lround(v));
}

RECT RectOf(const PlotBox& box) {
    return {Px(box.left), Px(box.top), Px(box.Right()), Px(box.Bottom())};
}

void Line(HDC dc, PlotPoint from, PlotPoint to) {
    MoveToEx(dc, Px(from.x), Px(from.y), nullptr);
    LineTo(dc, Px(to.x), Px(to.y));
}

// `text` starting at `at`, on its baseline.
void TextAt(HDC dc, PlotPoint at, const std::string& text) {
    const std::wstring wide = Widen(text);
    const UINT align = SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    TextOutW(dc, Px(at.x), Px(at.y), wide.c_str(), static_cast<int>(wide.size()));
    SetTextAlign(dc, align);
}

void TextIn(HDC dc, const PlotBox& box, const std::string& text, UINT format) {
    std::wstring wide = Widen(text);
    RECT rect = RectOf(box);
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &rect, format | DT_NOPREFIX);
}

std::string TimeLabel(const TimeTick& tick) {
    return TimeTickLabel(tick, LocalTimeText(tick.seconds, L"ddd d MMM", nullptr),
                         LocalTimeText(tick.seconds, nullptr, L"HH':'mm"));
}

std::string TipTime(double seconds) {
    return LocalTimeText(seconds, L"ddd d MMM", L"HH':'mm':'ss");
}

}  // namespace

THistoryPlot::THistoryPlot(HWND parent, int id)
    : window_(
          {.className = L"VelmoraHistoryPlot", .style = WS_CHILD | WS_VISIBLE, .parent = parent}) {
    SetWindowLongPtrW(Handle(), GWLP_ID, id);
    window_.Listen(this);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Wide enough for the tip's two lines, which a width makes it break at.
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 800);
}

THistoryPlot::~THistoryPlot() {
    window_.Listen(nullptr);
    if (IsWindow(tip_)) {
        DestroyWindow(tip_);
    }
}

void THistoryPlot::SetHistory(std::vector<HistoryRecord> records, DriftEstimate drift) {
    shown_.Set(std::move(records), std::move(drift));
    tipAnswer_.reset();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void THistoryPlot::SetFont(HFONT font, double pixel) {
    font_ = font;
    pixel_ = pixel;
    SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    InvalidateRect(Handle(), nullptr, FALSE);
}

HistoryPicture THistoryPlot::Picture() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    const HDC dc = GetDC(Handle());
    const HGDIOBJ old = SelectObject(dc, font_);
    const PlotCanvas canvas{static_cast<double>(client.right), static_cast<double>(client.bottom),
                            pixel_};
    HistoryPicture picture = shown_.LayOut(canvas, GdiTextMeasure(dc), WindowsLocalDays());
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    return picture;
}

std::string THistoryPlot::TipAt(POINT point) const {
    return shown_.TipAt(Picture(), {static_cast<double>(point.x), static_cast<double>(point.y)},
                        pixel_, TipTime);
}

void THistoryPlot::Paint(HDC target) {
    RECT client{};
    GetClientRect(Handle(), &client);
    // Drawn off the screen and put there at once: no flicker while answers come in.
    const HDC dc = CreateCompatibleDC(target);
    const HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const HGDIOBJ oldFont = SelectObject(dc, font_);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    Draw(dc, client);
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void THistoryPlot::Draw(HDC dc, const RECT& client) const {
    const PlotCanvas canvas{static_cast<double>(client.right), static_cast<double>(client.bottom),
                            pixel_};
    const HistoryPicture picture = shown_.LayOut(canvas, GdiTextMeasure(dc), WindowsLocalDays());
    if (picture.empty) {
        TextIn(dc, {0, 0, canvas.width, canvas.height}, kNoHistoryText,
               DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    DrawGrid(dc, picture);
    DrawSteps(dc, picture);
    DrawAnswers(dc, picture);
    DrawLegend(dc, picture);
}

void THistoryPlot::DrawGrid(HDC dc, const HistoryPicture& picture) const {
    const PlotBox& area = picture.area;
    for (const TimeTick& tick : picture.timeTicks) {
        const DrawingObject pen(dc, SolidPen(ColourOf(kGridColour), 1));
        Line(dc, {tick.x, area.top}, {tick.x, area.Bottom()});
        TextIn(dc, tick.label, TimeLabel(tick), DT_CENTER | DT_TOP);
    }
    for (const OffsetTick& tick : picture.offsetTicks) {
        const DrawingObject pen(dc,
                                SolidPen(ColourOf(tick.zero ? kZeroLineColour : kGridColour), 1));
        Line(dc, {area.left, tick.y}, {area.Right(), tick.y});
        TextIn(dc, tick.labelBox, tick.label, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    const DrawingObject frame(dc, SolidPen(GetSysColor(COLOR_WINDOWTEXT), 1));
    const HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, Px(area.left), Px(area.top), Px(area.Right()) + 1, Px(area.Bottom()) + 1);
    SelectObject(dc, brush);
    TextAt(dc, picture.captionAt, kOffsetCaption);
}

void THistoryPlot::DrawSteps(HDC dc, const HistoryPicture& picture) const {
    const COLORREF text = GetTextColor(dc);
    for (const StepLine& step : picture.steps) {
        const DrawingObject pen(dc, StepPen(step.byOther, pixel_));
        Line(dc, {step.x, picture.area.top}, {step.x, picture.area.Bottom()});
        if (step.labelShown) {
            SetTextColor(dc, ColourOf(step.byOther ? kOtherStepColour : kStepColour));
            TextAt(dc, step.labelAt, step.label);
        }
    }
    SetTextColor(dc, text);
}

void THistoryPlot::DrawAnswers(HDC dc, const HistoryPicture& picture) const {
    const int saved = SaveDC(dc);
    const RECT area = RectOf(picture.area);
    IntersectClipRect(dc, area.left, area.top, area.right + 1, area.bottom + 1);
    {
        const DrawingObject pen(dc, DriftPen(pixel_));
        for (const DriftSegment& line : picture.drift) {
            Line(dc, line.from, line.to);
        }
    }
    RestoreDC(dc, saved);
    for (const AnswerMarkAt& mark : picture.answers) {
        if (mark.place == AnswerMarkAt::Place::Inside) {
            DrawAnswerMark(dc, mark.at, mark.authenticated, pixel_);
            continue;
        }
        const auto corners = BeyondTriangle(mark, pixel_);
        POINT points[3];
        for (int i = 0; i < 3; ++i) {
            points[i] = {Px(corners[i].x), Px(corners[i].y)};
        }
        const DrawingObject fill(
            dc, CreateSolidBrush(
                    ColourOf(mark.authenticated ? kAuthenticatedColour : kPlainAnswerColour)));
        const HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, points, 3);
        SelectObject(dc, pen);
    }
}

void THistoryPlot::DrawLegend(HDC dc, const HistoryPicture& picture) const {
    for (const LegendEntry& entry : picture.legend) {
        if (entry.mark == HistoryMark::Answer || entry.mark == HistoryMark::Authenticated) {
            DrawAnswerMark(dc, entry.from, entry.mark == HistoryMark::Authenticated, pixel_);
        } else {
            const DrawingObject pen(dc,
                                    entry.mark == HistoryMark::Drift
                                        ? DriftPen(pixel_)
                                        : StepPen(entry.mark == HistoryMark::OtherStep, pixel_));
            Line(dc, entry.from, entry.to);
        }
        TextAt(dc, entry.wordsAt, entry.words);
    }
}

void THistoryPlot::MouseAt(POINT point) {
    const std::optional<std::size_t> answer =
        AnswerNear(Picture(), {static_cast<double>(point.x), static_cast<double>(point.y)}, pixel_);
    if (answer != tipAnswer_) {
        tipAnswer_ = answer;
        // The tip goes, and comes back with the new answer's words when the pointer rests.
        SendMessageW(tip_, TTM_POP, 0, 0);
    }
}

LRESULT THistoryPlot::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(Handle(), &paint);
            Paint(dc);
            EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_MOUSEMOVE:
            MouseAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        case WM_NOTIFY: {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (info->hdr.code != TTN_GETDISPINFOW) {
                break;
            }
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(Handle(), &at);
            tipText_ = Widen(TipAt(at));
            info->lpszText = tipText_.data();
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace velmora
