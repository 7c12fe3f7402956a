#pragma once

#include <string>
#include <string_view>

#include "platform/SystemClock.h"
#include "service/ClockKeeper.h"
#include "service/RequestRate.h"

namespace velmora {

// "synchronize now" no more than once in this long, after a first one at once.
inline constexpr double kSynchronizeSpacingSeconds = 10;
// "tell me your state": a few at once, then a couple a second.
inline constexpr int kStateBurst = 10;
inline constexpr double kStateSpacingSeconds = 0.5;

// Takes the requests that come over the pipe: each message is read as one of the fixed few and
// answered with the service's report; anything else, or too often, is refused and changes
// nothing.
class RequestDesk {
  public:
    RequestDesk(ClockKeeper& keeper, const SystemClock& clock);
    // The reply to one message. `oversized`: it was longer than kLongestServiceRequest, and
    // `message` holds only its start.
    std::string Answer(std::string_view message, bool oversized);

  private:
    ClockKeeper& keeper_;
    const SystemClock& clock_;
    RequestRate synchronize_{1, kSynchronizeSpacingSeconds};
    RequestRate state_{kStateBurst, kStateSpacingSeconds};
};

}  // namespace velmora
