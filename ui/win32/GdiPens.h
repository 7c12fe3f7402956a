#pragma once

#include <windows.h>

#include "ui/common/HistoryLook.h"
#include "ui/common/HistoryScale.h"

namespace velmora {

// The pens and brushes of the History plot as GDI draws them, from the shared look.
inline COLORREF ColourOf(const Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// The darker level line of zero offset.
inline constexpr Rgb kZeroLineColour{160, 160, 160};

// A pen or brush made for one drawing: selected into `dc` for its life, then put back and
// released.
class DrawingObject {
  public:
    DrawingObject(HDC dc, HGDIOBJ object) : dc_(dc), object_(object) {
        old_ = SelectObject(dc, object);
    }
    ~DrawingObject() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    DrawingObject(const DrawingObject&) = delete;
    DrawingObject& operator=(const DrawingObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_ = nullptr;
};

HPEN SolidPen(COLORREF colour, double width);
// Our own steps dashed in red, another program's dotted in violet; `pixel` scales the widths.
HPEN StepPen(bool byOther, double pixel);
HPEN DriftPen(double pixel);

// An answer at `at`: a dot, or a square when authenticated.
void DrawAnswerMark(HDC dc, PlotPoint at, bool authenticated, double pixel);

}  // namespace velmora
