#include "service/RequestRate.h"

#include <algorithm>

namespace velmora {

RequestRate::RequestRate(int burst, double spacingSeconds)
    : burst_(burst), spacing_(spacingSeconds), tokens_(burst) {}

bool RequestRate::Allow(double steadySeconds) {
    if (started_) {
        // A steady clock never goes back; should it seem to, nothing is earned.
        const double earned = std::max(0.0, steadySeconds - last_) / spacing_;
        tokens_ = std::min(burst_, tokens_ + earned);
    }
    started_ = true;
    last_ = steadySeconds;
    if (tokens_ < 1) {
        return false;
    }
    tokens_ -= 1;
    return true;
}

}  // namespace velmora
