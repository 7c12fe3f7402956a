#pragma once

#include <string>
#include <vector>

#include "ui/common/HistoryScale.h"
#include "ui/common/TextMeasure.h"

namespace velmora {

enum class HistoryMark { Answer, Authenticated, Step, OtherStep, Drift };

// One entry of the legend: a mark and what it stands for.
struct LegendEntry {
    HistoryMark mark = HistoryMark::Answer;
    std::string words;
    double x = 0;
    int row = 0;
    // Where its mark goes: an answer's centred at `from`; a line from `from` to `to`.
    PlotPoint from = {};
    PlotPoint to = {};
    // The start of its words, on their baseline.
    PlotPoint wordsAt = {};
};

// The legend above the History window's plot, from `left` to `right` in as many rows as that
// width needs, the first row's top at `top`. Another program's steps have an entry only when the
// history holds any. `pixel` is the painter's pixels per pixel of a 96 dpi screen.
class HistoryLegend {
  public:
    HistoryLegend(const TextMeasure& measure, double left, double right, bool otherSteps,
                  double pixel);

    int Rows() const { return rows_; }
    // Places the entries' marks and words below `top`.
    void PlaceAt(double top);
    const std::vector<LegendEntry>& Entries() const { return entries_; }

  private:
    double MarkWidth(HistoryMark mark) const;

    double lineHeight_;
    double ascent_;
    double pixel_;
    std::vector<LegendEntry> entries_;
    int rows_ = 1;
};

}  // namespace velmora
