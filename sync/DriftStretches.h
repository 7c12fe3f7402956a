#pragma once

#include <cstddef>
#include <vector>

#include "platform/HistoryStore.h"

namespace velmora {

// One answer's offset at its time, as the fit takes it.
struct DriftPoint {
    double seconds = 0;  // UTC seconds since 1970
    double offset = 0;   // seconds, the servers' time minus the computer clock
    // The record of the answer it comes from.
    std::size_t answer = 0;
};

// The answers between two steps of the clock, which share one level of the offset. A step is a
// known point: right after it the offset is the last answer's offset less the step, so a stretch
// that follows steps begins with that answer, carried over them.
struct DriftStretch {
    std::vector<DriftPoint> points;
    // The steps its first point was carried over, and when the last of them came.
    int steps = 0;
    double steppedAt = 0;
};

// The stretches of two points or more, in the order of the history. A step by another program
// that matches one of ours in time and size is the same setting, told by a second copy of the
// program (on another display), and counts once.
std::vector<DriftStretch> DriftStretches(const std::vector<HistoryRecord>& history);

}  // namespace velmora
