#pragma once

#include <windows.h>

#include <string>

#include "ui/common/HistoryTicks.h"
#include "ui/common/TextMeasure.h"

namespace velmora {

// The shared History layout's questions answered by GDI and the Windows zone: the measures of the
// font selected into a device context, and the local calendar.
class GdiTextMeasure : public TextMeasure {
  public:
    // `dc` with the font to measure selected; it must outlive this.
    explicit GdiTextMeasure(HDC dc);

    double Width(const std::string& text) const override;
    double Height() const override { return metrics_.tmHeight; }
    double Ascent() const override { return metrics_.tmAscent; }
    double Descent() const override { return metrics_.tmDescent; }

  private:
    HDC dc_;
    TEXTMETRICW metrics_{};
};

class WindowsLocalDays : public LocalDays {
  public:
    double StartOfDay(double seconds) const override;
    double DaysLater(double dayStart, int days) const override;
};

// `seconds` (since 1970, UTC) in local time, written with the user's locale by a date picture
// and a time picture of GetDateFormatEx and GetTimeFormatEx ("ddd d MMM", "HH':'mm"); either may
// be null, and the two are joined by a blank.
std::string LocalTimeText(double seconds, const wchar_t* datePicture, const wchar_t* timePicture);

}  // namespace velmora
