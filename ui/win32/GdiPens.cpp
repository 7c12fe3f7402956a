#include "ui/win32/GdiPens.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

int Px(double v) {
    return static_cast<int>(std::lround(v));
}

DWORD Width(double width) {
    return static_cast<DWORD>(std::max(1L, std::lround(width)));
}

// A geometric pen of dashes and gaps `on` and `off` long, in line widths as Qt counts them.
HPEN PatternPen(COLORREF colour, double width, double on, double off) {
    const LOGBRUSH brush{BS_SOLID, colour, 0};
    const DWORD pattern[] = {Width(on * width), Width(off * width)};
    return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, Width(width), &brush, 2,
                        pattern);
}

}  // namespace

HPEN SolidPen(COLORREF colour, double width) {
    return CreatePen(PS_SOLID, static_cast<int>(Width(width)), colour);
}

HPEN StepPen(bool byOther, double pixel) {
    const double width = kStepPenWidth * pixel;
    return byOther ? PatternPen(ColourOf(kOtherStepColour), width, 1, 2)
                   : PatternPen(ColourOf(kStepColour), width, 4, 2);
}

HPEN DriftPen(double pixel) {
    return SolidPen(ColourOf(kDriftColour), kDriftPenWidth * pixel);
}

void DrawAnswerMark(HDC dc, PlotPoint at, bool authenticated, double pixel) {
    const DrawingObject fill(
        dc, CreateSolidBrush(ColourOf(authenticated ? kAuthenticatedColour : kPlainAnswerColour)));
    const HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
    const double half = kMark * pixel;
    // With no pen GDI leaves out the right and bottom edges: one pixel more each way.
    const int left = Px(at.x - half);
    const int top = Px(at.y - half);
    const int right = Px(at.x + half) + 1;
    const int bottom = Px(at.y + half) + 1;
    if (authenticated) {
        Rectangle(dc, left, top, right, bottom);
    } else {
        Ellipse(dc, left, top, right, bottom);
    }
    SelectObject(dc, pen);
}

}  // namespace velmora
