#pragma once

#include <QFont>
#include <QFontMetricsF>

#include "ui/common/HistoryTicks.h"
#include "ui/common/TextMeasure.h"

namespace velmora {

// The shared History layout's questions answered by Qt: a font's measures, and the local
// calendar as QDateTime knows it.
class QtTextMeasure : public TextMeasure {
  public:
    explicit QtTextMeasure(const QFont& font) : metrics_(font) {}

    double Width(const std::string& text) const override;
    double Height() const override { return metrics_.height(); }
    double Ascent() const override { return metrics_.ascent(); }
    double Descent() const override { return metrics_.descent(); }

  private:
    QFontMetricsF metrics_;
};

class QtLocalDays : public LocalDays {
  public:
    double StartOfDay(double seconds) const override;
    double DaysLater(double dayStart, int days) const override;
};

}  // namespace velmora
