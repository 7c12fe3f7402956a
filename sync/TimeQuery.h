#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SystemClock.h"
#include "sync/HeldTime.h"

namespace velmora {

class TSNTPSend;

// Makes one SNTP client for one get-time command.
using SntpClientFactory = std::function<std::unique_ptr<TSNTPSend>()>;

// Why an entry gave no time.
enum class QueryFailure {
    None,
    NoAnswer,      // nothing valid came back within the time
    NameNotFound,  // the host name does not resolve
    BadAnswer,     // an answer came that breaks the rules of a reply
    KissOfDeath,   // the server said no (kissCode)
    KeyExchange,   // the NTS key exchange was refused (detail says why)
    NotAvailable   // this build cannot ask such an entry at all (detail says why)
};

// One entry of the server list asked once.
struct QueryAttempt {
    std::string entry;
    bool answered = false;
    // Asked with Network Time Security: an answer is authenticated.
    bool authenticated = false;
    // Of an answer: the server's time minus the computer clock, and the round trip.
    double offsetSeconds = 0;
    double delaySeconds = 0;
    QueryFailure failure = QueryFailure::None;
    // The kiss code of a refusing answer ("DENY", "RATE", ...), else empty.
    std::string kissCode;
    // More about the failure where there is more to say (why a key exchange was refused, what is
    // not available).
    std::string detail;
};

// What one get-time command found: the attempts in order, and the answer when one came.
struct QueryOutcome {
    std::vector<QueryAttempt> attempts;
    std::optional<HeldTime> answer;
};

// Asks `entries` in order with one client until one answers; with `nextOnFail` clear only the
// first is asked. `attempted` hears of each attempt as it ends. Blocks for up to the client's
// timeout per entry: runs on the worker.
QueryOutcome AskServers(const std::vector<std::string>& entries, bool nextOnFail,
                        const SntpClientFactory& makeClient, const SystemClock& clock,
                        const std::function<void(const QueryAttempt&)>& attempted);

}  // namespace velmora
