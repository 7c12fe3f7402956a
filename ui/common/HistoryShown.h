#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/HistoryStore.h"
#include "sync/DriftFit.h"
#include "ui/common/HistoryPicture.h"
#include "ui/common/HistoryRange.h"
#include "ui/common/HistoryTicks.h"

namespace velmora {

// How a front end writes a moment (seconds since the epoch) in the user's local time.
using TimeWriter = std::function<std::string(double seconds)>;

// The History window's reading of the history, whichever toolkit shows it: the records, the drift
// fitted to them, and the words below the plot.
struct HistoryReading {
    std::vector<HistoryRecord> records;
    DriftEstimate drift;
    std::string summary;
    std::string rate;
    // Shown only while the drift is known.
    std::string interval;
};

// Reads `store`; the summary's first record is written by `dateTime`.
HistoryReading ReadHistory(const HistoryStore& store, const TimeWriter& dateTime);

// The label of a time tick from its date and its time as the front end writes them: the date
// alone, the time alone, or the time over the date.
std::string TimeTickLabel(const TimeTick& tick, const std::string& date, const std::string& time);

// What the plot shows: the records, their drift and the range the plot spans, laid out at a size,
// and the tip of the answer under the pointer.
class HistoryShown {
  public:
    void Set(std::vector<HistoryRecord> records, DriftEstimate drift);

    const HistoryRange& Range() const { return range_; }
    HistoryPicture LayOut(const PlotCanvas& canvas, const TextMeasure& measure,
                          const LocalDays& days) const;
    // The tip of the answer nearest `point` in `picture` (its time written by `when`), or empty.
    std::string TipAt(const HistoryPicture& picture, PlotPoint point, double pixel,
                      const TimeWriter& when) const;

  private:
    std::vector<HistoryRecord> records_;
    DriftEstimate drift_;
    HistoryRange range_;
};

}  // namespace velmora
