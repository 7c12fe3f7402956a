#include "ui/common/HistoryShown.h"

#include <utility>

#include "sync/DriftText.h"
#include "ui/common/HistoryTexts.h"

namespace velmora {

HistoryReading ReadHistory(const HistoryStore& store, const TimeWriter& dateTime) {
    HistoryReading reading;
    reading.records = store.Load();
    reading.drift = EstimateDrift(reading.records);
    const std::string since =
        reading.records.empty() ? "" : dateTime(reading.records.front().unixSeconds);
    reading.summary = HistorySummaryText(reading.records, since);
    reading.rate = DriftRateText(reading.drift);
    reading.interval = DriftIntervalText(reading.drift);
    return reading;
}

std::string TimeTickLabel(const TimeTick& tick, const std::string& date, const std::string& time) {
    if (!tick.withTime) {
        return date;
    }
    return tick.withDate ? time + "\n" + date : time;
}

void HistoryShown::Set(std::vector<HistoryRecord> records, DriftEstimate drift) {
    records_ = std::move(records);
    drift_ = std::move(drift);
    range_ = FitHistoryRange(records_, drift_.lines);
}

HistoryPicture HistoryShown::LayOut(const PlotCanvas& canvas, const TextMeasure& measure,
                                    const LocalDays& days) const {
    return LayOutHistory(records_, drift_, range_, canvas, measure, days);
}

std::string HistoryShown::TipAt(const HistoryPicture& picture, PlotPoint point, double pixel,
                                const TimeWriter& when) const {
    const std::optional<std::size_t> answer = AnswerNear(picture, point, pixel);
    if (!answer) {
        return "";
    }
    const HistoryRecord& record = records_[*answer];
    return AnswerTipText(record, when(record.unixSeconds));
}

}  // namespace velmora
