#include "net/SNTPsend.h"

#include <ctime>
#include <vector>

#include "net/RequestSeal.h"
#include "net/nts/NtsEntry.h"

namespace velmora {

TDateTime CurrentUtcTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // Microseconds, finer than the tenth of a millisecond the timestamps carry: a reading cut to
    // whole milliseconds would add up to half a millisecond of error to every measured offset.
    const std::int64_t microseconds =
        std::int64_t(now.tv_sec) * 1000000 + (std::int64_t(now.tv_nsec) + 500) / 1000;
    return FromUnixSeconds(double(microseconds) / 1e6);
}

TSNTPSend::TSNTPSend() : TSNTPSend(DefaultSocketApi()) {}

TSNTPSend::TSNTPSend(SocketApi& api) : TSNTPSend(api, CurrentUtcTime) {}

TSNTPSend::TSNTPSend(SocketApi& api, UtcClock clock) : TSNTPSend(api, std::move(clock), nullptr) {}

TSNTPSend::TSNTPSend(SocketApi& api, UtcClock clock, NtsSessions& sessions)
    : TSNTPSend(api, std::move(clock), &sessions) {}

TSNTPSend::TSNTPSend(SocketApi& api, UtcClock clock, NtsSessions* sessions)
    : socket_(std::make_unique<TUDPBlockSocket>(api)),
      clock_(std::move(clock)),
      sessions_(sessions) {
    socket_->OpenSocket();
}

TSNTPSend::~TSNTPSend() = default;

bool TSNTPSend::QueryServer() {
    rejectedBy_ = ReplyRule::kNone;
    kissCode_.clear();
    nameResolved_ = true;
    keyExchangeFailure_.clear();
    notAvailable_.clear();
    // One limit for the whole query: a resolver or a handshake that never ends costs no more
    // than a server that never answers.
    const Deadline deadline(ReplyTimeout);
    if (IsNtsEntry(ServerHost)) {
        return QueryNts(deadline);
    }
    return Exchange(ServerHost, "ntp", deadline, nullptr) == Answer::kAccepted;
}

std::vector<SocketAddress> TSNTPSend::Resolve(const std::string& host, const std::string& port,
                                              const Deadline& deadline) {
    socket_->LookupTimeout = deadline.Left();
    std::vector<SocketAddress> addresses = socket_->ResolveAddresses(host, port);
    // What does not resolve stands as the broadcast address, which is never asked for by name.
    nameResolved_ = !(host != "255.255.255.255" && addresses.size() == 1 &&
                      addresses[0].Ipv4Address() == INADDR_NONE);
    return addresses;
}

// The addresses are asked in the resolver's order, each with an even share of the time left
// after the lookup: a silent first address costs the others only its share, and what an address
// that fails early leaves goes to those after it. Only silence moves on; an answer, even one
// the header rules reject, ends the query.
TSNTPSend::Answer TSNTPSend::Exchange(const std::string& host, const std::string& port,
                                      const Deadline& deadline, RequestSeal* seal) {
    const std::vector<SocketAddress> targets = Resolve(host, port, deadline);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (seal != nullptr && seal->Spent()) {
            break;
        }
        const Answer answer = Ask(targets[i], deadline.Share(targets.size() - i), seal);
        if (answer != Answer::kNone) {
            return answer;
        }
    }
    return Answer::kNone;
}

TSNTPSend::Answer TSNTPSend::Ask(const SocketAddress& target, const Deadline& deadline,
                                 RequestSeal* seal) {
    socket_->RemoteAddress = target;
    const TDateTime t1 = clock_();
    const TNtpPacket request = MakeRequest(t1, seal != nullptr);
    std::string bytes(reinterpret_cast<const char*>(&request), sizeof request);
    if (seal != nullptr) {
        bytes = seal->Seal(bytes);
    }
    socket_->SendData(bytes.data(), static_cast<int>(bytes.size()));

    const bool answered = AwaitReply(deadline, target, request, seal);
    if (seal != nullptr) {
        seal->Conclude();
    }
    if (!answered) {
        return Answer::kNone;
    }
    const TDateTime t4 = clock_();
    return AcceptReply(t1, t4) ? Answer::kAccepted : Answer::kRejected;
}

// Waits until the deadline for the one datagram that answers this request, from the address it
// went to; anything else that arrives meanwhile is dropped.
bool TSNTPSend::AwaitReply(const Deadline& deadline, const SocketAddress& target,
                           const TNtpPacket& request, RequestSeal* seal) {
    std::int32_t wait = deadline.Left();
    for (;;) {
        replyData_ = socket_->ReceivePacket(wait);
        const std::int32_t error = socket_->SocketError;
        if (error == 0 && socket_->RemoteAddress == target && AnswersRequest(replyData_, request) &&
            (seal == nullptr || seal->Accepts(replyData_))) {
            return true;
        }
        if (error != 0 && error != wsa::kConnectionReset) {
            return false;
        }
        if (deadline.Unlimited()) {
            continue;
        }
        wait = deadline.Left();
        if (wait <= 0) {
            replyData_.clear();
            socket_->SocketError = wsa::kTimedOut;
            return false;
        }
    }
}

bool TSNTPSend::AcceptReply(TDateTime t1, TDateTime t4) {
    ReplyJudgement judged = JudgeReply(replyData_, t1, t4);
    reply_ = judged.reply;
    leapIndicator_ = judged.leapIndicator;
    versionNumber_ = judged.versionNumber;
    replyMode_ = judged.replyMode;
    rejectedBy_ = judged.rejectedBy;
    kissCode_ = std::move(judged.kissCode);
    if (rejectedBy_ != ReplyRule::kNone) {
        return false;
    }
    serverTime_ = judged.serverTime;
    offsetSeconds_ = judged.offsetSeconds;
    delaySeconds_ = judged.delaySeconds;
    return true;
}

}  // namespace velmora
