#pragma once

#include <vector>

#include "platform/HistoryStore.h"
#include "sync/DriftFit.h"

namespace velmora {

// What the History plot shows: seconds since 1970 across, offset seconds upward.
struct HistoryRange {
    double fromSeconds = 0;
    double toSeconds = 0;
    double lowOffset = 0;
    double highOffset = 0;
};

// Every record across, with a little room either side, ten minutes at the least. Upward: zero,
// the answers within the fence around the middle half of the offsets (a wild answer is drawn at
// the edge rather than flattening all the others) and the fitted lines. All zero for no records.
HistoryRange FitHistoryRange(const std::vector<HistoryRecord>& records,
                             const std::vector<DriftLine>& lines);

}  // namespace velmora
