#include "ui/win32/HistoryPlot.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "platform/windows/WideText.h"
#include "ui/common/HistoryLook.h"
#include "ui/common/HistoryPainter.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Tooltip.h"

namespace velmora {
namespace {

// The darker level line of zero offset.
constexpr Rgb kZeroLineColour{160, 160, 160};

int Px(double v) {
    return static_cast<int>(std::lround(v));
}

RECT RectOf(const PlotBox& box) {
    return {Px(box.left), Px(box.top), Px(box.Right()), Px(box.Bottom())};
}

COLORREF ColourOf(const Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

DWORD Width(double width) {
    return static_cast<DWORD>(std::max(1L, std::lround(width)));
}

// A geometric pen of dashes and gaps `on` and `off` long, in line widths as Qt counts them.
HPEN PatternPen(const Rgb& colour, double width, double on, double off) {
    const LOGBRUSH brush{BS_SOLID, ColourOf(colour), 0};
    const DWORD pattern[] = {Width(on * width), Width(off * width)};
    return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, Width(width), &brush, 2,
                        pattern);
}

// The plot drawn with GDI into a device context of its own, whose font and text colour are the
// words'; `pixel` scales the marks and the pens' widths.
class GdiPlotDrawing : public PlotDrawing {
  public:
    GdiPlotDrawing(HDC dc, double pixel) : dc_(dc), pixel_(pixel), text_(GetTextColor(dc)) {}

    void Line(PlotInk ink, PlotPoint from, PlotPoint to) override {
        const HGDIOBJ old = SelectObject(dc_, PenOf(ink));
        MoveToEx(dc_, Px(from.x), Px(from.y), nullptr);
        LineTo(dc_, Px(to.x), Px(to.y));
        DeleteObject(SelectObject(dc_, old));
    }
    void Frame(const PlotBox& box) override {
        const HGDIOBJ old = SelectObject(dc_, PenOf(PlotInk::Text));
        SelectObject(dc_, GetStockObject(NULL_BRUSH));
        Rectangle(dc_, Px(box.left), Px(box.top), Px(box.Right()) + 1, Px(box.Bottom()) + 1);
        DeleteObject(SelectObject(dc_, old));
    }
    void TextAt(PlotInk ink, PlotPoint at, const std::string& text) override {
        const std::wstring wide = Widen(text);
        const UINT align = SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
        SetTextColor(dc_, InkColour(ink));
        TextOutW(dc_, Px(at.x), Px(at.y), wide.c_str(), static_cast<int>(wide.size()));
        SetTextColor(dc_, text_);
        SetTextAlign(dc_, align);
    }
    void TextIn(const PlotBox& box, Align align, const std::string& text) override {
        static constexpr UINT kFormats[] = {DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                                            DT_CENTER | DT_TOP,
                                            DT_RIGHT | DT_VCENTER | DT_SINGLELINE};
        std::wstring wide = Widen(text);
        RECT rect = RectOf(box);
        DrawTextW(dc_, wide.data(), static_cast<int>(wide.size()), &rect,
                  kFormats[static_cast<int>(align)] | DT_NOPREFIX);
    }
    void Mark(PlotPoint at, bool authenticated) override {
        Fill(authenticated);
        const double half = kMark * pixel_;
        // With no pen GDI leaves out the right and bottom edges: one pixel more each way.
        const RECT mark{Px(at.x - half), Px(at.y - half), Px(at.x + half) + 1, Px(at.y + half) + 1};
        if (authenticated) {
            Rectangle(dc_, mark.left, mark.top, mark.right, mark.bottom);
        } else {
            Ellipse(dc_, mark.left, mark.top, mark.right, mark.bottom);
        }
    }
    void Triangle(const std::array<PlotPoint, 3>& corners, bool authenticated) override {
        Fill(authenticated);
        POINT points[3];
        for (int i = 0; i < 3; ++i) {
            points[i] = {Px(corners[i].x), Px(corners[i].y)};
        }
        Polygon(dc_, points, 3);
    }
    void Clip(const PlotBox* box) override {
        if (box == nullptr) {
            RestoreDC(dc_, -1);
            return;
        }
        SaveDC(dc_);
        const RECT area = RectOf(*box);
        IntersectClipRect(dc_, area.left, area.top, area.right + 1, area.bottom + 1);
    }
    std::string TimeLabel(const TimeTick& tick) const override {
        return TimeTickLabel(tick, LocalTimeText(tick.seconds, L"ddd d MMM", nullptr),
                             LocalTimeText(tick.seconds, nullptr, L"HH':'mm"));
    }

  private:
    COLORREF InkColour(PlotInk ink) const {
        switch (ink) {
            case PlotInk::Grid:
                return ColourOf(kGridColour);
            case PlotInk::ZeroLine:
                return ColourOf(kZeroLineColour);
            case PlotInk::Step:
                return ColourOf(kStepColour);
            case PlotInk::OtherStep:
                return ColourOf(kOtherStepColour);
            case PlotInk::Drift:
                return ColourOf(kDriftColour);
            case PlotInk::Text:
                break;
        }
        return text_;
    }
    // Our own steps dashed in red, another program's dotted in violet.
    HPEN PenOf(PlotInk ink) const {
        if (ink == PlotInk::Step || ink == PlotInk::OtherStep) {
            const bool ours = ink == PlotInk::Step;
            return PatternPen(ours ? kStepColour : kOtherStepColour, kStepPenWidth * pixel_,
                              ours ? 4 : 1, 2);
        }
        const double width = ink == PlotInk::Drift ? kDriftPenWidth * pixel_ : 1;
        return CreatePen(PS_SOLID, static_cast<int>(Width(width)), InkColour(ink));
    }
    // Shapes filled in an answer's colour, with no pen.
    void Fill(bool authenticated) {
        SelectObject(dc_, GetStockObject(NULL_PEN));
        SelectObject(dc_, GetStockObject(DC_BRUSH));
        SetDCBrushColor(dc_, ColourOf(authenticated ? kAuthenticatedColour : kPlainAnswerColour));
    }

    HDC dc_;
    double pixel_;
    COLORREF text_;
};

std::string TipTime(double seconds) {
    return LocalTimeText(seconds, L"ddd d MMM", L"HH':'mm':'ss");
}

}  // namespace

THistoryPlot::THistoryPlot(HWND parent, int id)
    : window_(
          {.className = L"VelmoraHistoryPlot", .style = WS_CHILD | WS_VISIBLE, .parent = parent}) {
    SetWindowLongPtrW(Handle(), GWLP_ID, id);
    window_.Listen(this);
    tip_ = CreateTooltip(Handle(), Handle(), LPSTR_TEXTCALLBACKW);
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
    GdiPlotDrawing drawing(dc, pixel_);
    PaintHistory(shown_.LayOut(canvas, GdiTextMeasure(dc), WindowsLocalDays()), canvas, drawing);
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
