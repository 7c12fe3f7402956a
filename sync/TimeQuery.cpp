#include "sync/TimeQuery.h"

#include "net/SNTPsend.h"

namespace velmora {

QueryOutcome AskServers(const std::vector<std::string>& entries, bool nextOnFail,
                        const SntpClientFactory& makeClient, const SystemClock& clock,
                        const std::function<void(const QueryAttempt&)>& attempted) {
    QueryOutcome outcome;
    const std::unique_ptr<TSNTPSend> client = makeClient();
    for (const std::string& entry : entries) {
        client->ServerHost = entry;
        const bool answered = client->QueryServer();
        outcome.attempts.push_back({entry, answered, answered ? "" : client->KissCode()});
        attempted(outcome.attempts.back());
        if (answered) {
            outcome.answer = HeldTime{client->ServerTime(), clock.SteadySeconds()};
            break;
        }
        if (!nextOnFail) {
            break;
        }
    }
    return outcome;
}

}  // namespace velmora
