#pragma once

#include <vector>

#include "platform/HistoryStore.h"

namespace velmora {

// The fitted offset over one stretch of answers between two steps of the clock.
struct DriftLine {
    double fromSeconds = 0;  // UTC seconds since 1970
    double toSeconds = 0;
    double fromOffset = 0;  // seconds, the server's time minus the computer clock
    double toOffset = 0;
};

// How fast the computer clock runs against the time servers, from the history.
struct DriftEstimate {
    // Enough answers over enough time to say anything.
    bool known = false;
    // Parts per million the clock gains (runs fast); negative when it loses.
    double ppm = 0;
    // The answers the estimate rests on, the steps of the clock it looked across, and the time
    // their stretches cover together.
    int answers = 0;
    int steps = 0;
    double spanSeconds = 0;
    // One line a stretch of two answers or more, for the picture (empty when not known).
    std::vector<DriftLine> lines;

    double SecondsPerDay() const { return ppm * 86400e-6; }
    // How long the clock takes to drift one second away from the servers' time; infinite when
    // it does not drift at all.
    double SecondsToDriftOneSecond() const;
};

// The least the estimate needs: this many answers, whose stretches cover this much time.
inline constexpr int kDriftMinAnswers = 3;
inline constexpr double kDriftMinSpanSeconds = 3600;

// Fits the drift to the answers' offsets against time. A step of the clock moves the offset by its
// size, so each stretch between two steps has an offset of its own, and all share one rate.
DriftEstimate EstimateDrift(const std::vector<HistoryRecord>& history);

}  // namespace velmora
