#include "net/SNTPsend.h"

#include <ctime>

#include "net/NtsHandshake.h"
#include "net/nts/NtsEntry.h"
#include "net/nts/NtsExchange.h"

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

TSNTPSend::TSNTPSend(SocketApi& api, UtcClock clock)
    : TSNTPSend(api, std::move(clock), DefaultNtsSessions()) {}

TSNTPSend::TSNTPSend(SocketApi& api, UtcClock clock, NtsSessions& sessions)
    : socket_(std::make_unique<TUDPBlockSocket>(api)),
      clock_(std::move(clock)),
      sessions_(&sessions) {
    socket_->OpenSocket();
}

TSNTPSend::~TSNTPSend() = default;

bool TSNTPSend::QueryServer() {
    rejectedBy_ = ReplyRule::kNone;
    kissCode_.clear();
    // One limit for the whole query: a resolver or a handshake that never ends costs no more
    // than a server that never answers.
    const Deadline deadline(ReplyTimeout);
    if (IsNtsEntry(ServerHost)) {
        return QueryNts(deadline);
    }
    return Exchange(ServerHost, "ntp", deadline, nullptr);
}

// An NTS entry never falls back to plain SNTP: every failure of it is the result false.
bool TSNTPSend::QueryNts(const Deadline& deadline) {
    const std::optional<NtsEntry> entry = ParseNtsEntry(ServerHost);
    if (!entry) {
        return false;
    }
    const std::string key = entry->host + ":" + std::to_string(entry->port);
    NtsSession* session = sessions_->Usable(key);
    if (session == nullptr) {
        std::optional<NtsSession> fresh = Handshake(*entry, deadline);
        if (!fresh) {
            return false;
        }
        session = &sessions_->Keep(key, std::move(*fresh));
    }
    NtsExchange exchange(*session);
    const bool answered =
        Exchange(session->ntpHost, std::to_string(session->ntpPort), deadline, &exchange);
    // The server no longer knows our cookies and nothing authentic came instead: start afresh.
    if (!answered && exchange.NakSeen()) {
        sessions_->Forget(key);
    }
    return answered;
}

std::optional<NtsSession> TSNTPSend::Handshake(const NtsEntry& entry, const Deadline& deadline) {
    sockaddr_in address{};
    socket_->LookupTimeout = deadline.Left();
    socket_->ResolveAddress(address, entry.host, std::to_string(entry.port));
    if (address.sin_addr.s_addr == INADDR_NONE) {
        return std::nullopt;
    }
    return EstablishNtsSession(address, entry.host, deadline);
}

bool TSNTPSend::Exchange(const std::string& host, const std::string& port, const Deadline& deadline,
                         NtsExchange* nts) {
    socket_->LookupTimeout = deadline.Left();
    socket_->ConnectTo(host, port);
    const sockaddr_in target = socket_->RemoteAddress;

    const TDateTime t1 = clock_();
    const TNtpPacket request = MakeRequest(t1, nts != nullptr);
    std::string bytes(reinterpret_cast<const char*>(&request), sizeof request);
    if (nts != nullptr) {
        bytes = nts->Seal(bytes);
    }
    socket_->SendData(bytes.data(), static_cast<int>(bytes.size()));

    if (!AwaitReply(deadline, target, request, nts)) {
        return false;
    }
    const TDateTime t4 = clock_();
    return AcceptReply(t1, t4);
}

// Waits until the deadline for the one datagram that answers this request; anything else that
// arrives meanwhile is dropped.
bool TSNTPSend::AwaitReply(const Deadline& deadline, const sockaddr_in& target,
                           const TNtpPacket& request, NtsExchange* nts) {
    std::int32_t wait = deadline.Left();
    for (;;) {
        replyData_ = socket_->ReceivePacket(wait);
        const std::int32_t error = socket_->SocketError;
        if (error == 0 && FromTarget(target) && AnswersRequest(replyData_, request) &&
            (nts == nullptr || nts->Accepts(replyData_))) {
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

bool TSNTPSend::FromTarget(const sockaddr_in& target) const {
    const sockaddr_in& sender = socket_->RemoteAddress;
    return sender.sin_addr.s_addr == target.sin_addr.s_addr && sender.sin_port == target.sin_port;
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
