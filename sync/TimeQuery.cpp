#include "sync/TimeQuery.h"

#include "net/SNTPsend.h"
#include "net/nts/NtsEntry.h"

namespace velmora {
namespace {

QueryAttempt Attempt(const std::string& entry, TSNTPSend& client, bool answered) {
    QueryAttempt attempt;
    attempt.entry = entry;
    attempt.answered = answered;
    attempt.authenticated = IsNtsEntry(entry);
    if (answered) {
        attempt.offsetSeconds = client.OffsetSeconds();
        attempt.delaySeconds = client.DelaySeconds();
        return attempt;
    }
    attempt.kissCode = client.KissCode();
    if (!client.NotAvailable().empty()) {
        attempt.detail = client.NotAvailable();
        attempt.failure = QueryFailure::NotAvailable;
        return attempt;
    }
    attempt.detail = client.KeyExchangeFailure();
    attempt.failure = !client.NameResolved()                    ? QueryFailure::NameNotFound
                      : !attempt.detail.empty()                 ? QueryFailure::KeyExchange
                      : !attempt.kissCode.empty()               ? QueryFailure::KissOfDeath
                      : client.RejectedBy() != ReplyRule::kNone ? QueryFailure::BadAnswer
                                                                : QueryFailure::NoAnswer;
    return attempt;
}

}  // namespace

QueryOutcome AskServers(const std::vector<std::string>& entries, bool nextOnFail,
                        const SntpClientFactory& makeClient, const SystemClock& clock,
                        const std::function<void(const QueryAttempt&)>& attempted) {
    QueryOutcome outcome;
    const std::unique_ptr<TSNTPSend> client = makeClient();
    for (const std::string& entry : entries) {
        client->ServerHost = entry;
        const bool answered = client->QueryServer();
        outcome.attempts.push_back(Attempt(entry, *client, answered));
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
