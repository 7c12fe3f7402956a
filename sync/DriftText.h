#pragma once

#include <string>

#include "sync/DriftFit.h"

namespace velmora {

// Beyond this the clock stays within a second for so long that its drift does not matter.
inline constexpr double kDriftNegligibleSeconds = 30 * 86400;

// The drift in words, in the current locale's numbers: how much the clock gains or loses a day,
// and from what; or why it cannot be told yet.
std::string DriftRateText(const DriftEstimate& drift);
// How often to synchronize to keep the clock within one second of the servers' time; empty when
// the drift is not known.
std::string DriftIntervalText(const DriftEstimate& drift);

}  // namespace velmora
