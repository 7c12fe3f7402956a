#include "service/RequestDesk.h"

#include <string>

namespace velmora {

RequestDesk::RequestDesk(ClockKeeper& keeper, const SystemClock& clock)
    : keeper_(keeper), clock_(clock) {}

std::string RequestDesk::Answer(std::string_view message, bool oversized) {
    const ParsedRequest parsed =
        oversized ? ParsedRequest{std::nullopt, OversizedRefusal()} : ParseRequest(message);
    ServiceReport reply = keeper_.Report();
    if (!parsed.request) {
        reply.refusal = parsed.refusal;
        return ReportText(reply);
    }
    const double now = clock_.SteadySeconds();
    if (*parsed.request == ServiceRequest::TellState) {
        if (!state_.Allow(now)) {
            reply.refusal = "Refused: asked for the state too often";
        }
        return ReportText(reply);
    }
    if (!synchronize_.Allow(now)) {
        reply.refusal = "Refused: the service synchronizes at most once every " +
                        std::to_string(static_cast<int>(kSynchronizeSpacingSeconds)) +
                        " s when asked; it synchronized a moment ago";
        return ReportText(reply);
    }
    keeper_.Synchronize(false);
    return ReportText(keeper_.Report());
}

}  // namespace velmora
