#include "net/SNTPsend.h"

#include <arpa/inet.h>

#include <algorithm>

#include <cmath>
#include <cstring>
#include <ctime>

#include "net/NtsEntry.h"
#include "net/NtsExchange.h"
#include "net/NtsKeyExchange.h"

namespace velmora {

namespace {

// The fraction word counts 1/2^32 s, but the design divides by 2^32 - 1 both ways: the all-ones
// word is then exactly one more second, encode and decode stay each other's inverse, and the
// scale error (one part in 4294967296, under a nanosecond) vanishes in the cut to tenths of a
// millisecond that both directions make anyway.
constexpr double kFractionDivisor = 4294967295.0;
constexpr double kTwoTo32 = 4294967296.0;
constexpr double kTenthsOfMillisecond = 10000.0;
constexpr std::uint8_t kClientRequest = 27;  // leap 0, version 3, mode 3
// Extension fields exist from version 4 on.
constexpr std::uint8_t kNtsRequest = 0x23;  // leap 0, version 4, mode 3
constexpr std::uint8_t kKissStratum = 0;

// Truncation toward zero to a 64-bit integer, saturating where the cast would be undefined.
std::int64_t Trunc(double value) {
    constexpr double kLimit = 9.2e18;
    if (!(value > -kLimit)) {
        return std::isnan(value) ? 0 : static_cast<std::int64_t>(-kLimit);
    }
    if (value > kLimit) {
        return static_cast<std::int64_t>(kLimit);
    }
    return static_cast<std::int64_t>(value);
}

std::uint32_t LowWord(double value) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(Trunc(value)) & 0xFFFFFFFFu);
}

bool SameWords(const std::uint32_t (&a)[2], const std::uint32_t (&b)[2]) {
    return a[0] == b[0] && a[1] == b[1];
}

// The four letters of a kiss-o'-death; empty for any other reply, and for codes that are not
// printable text.
std::string KissCodeOf(const TNtpPacket& reply) {
    if (reply.Stratum != kKissStratum) {
        return "";
    }
    std::string code(4, '\0');
    std::memcpy(code.data(), &reply.ReferenceId, code.size());
    const bool text =
        std::all_of(code.begin(), code.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    return text ? code : "";
}

}  // namespace

TDateTime DecodeTimestamp(std::uint32_t seconds, std::uint32_t fraction) {
    const std::uint32_t s = ntohl(seconds);
    // Top bit clear: past 2036-02-07 06:28:16, the seconds word has wrapped into era 1.
    const double wholeSeconds = (s & 0x80000000u) != 0 ? double(s) : double(s) + kTwoTo32;
    double part = double(ntohl(fraction)) / kFractionDivisor;
    part = double(Trunc(part * kTenthsOfMillisecond)) / kTenthsOfMillisecond;
    return (wholeSeconds + part) / kSecondsPerDay + kNtpEpoch;
}

void EncodeTimestamp(TDateTime value, std::uint32_t& seconds, std::uint32_t& fraction) {
    const double x = (value - kNtpEpoch) * kSecondsPerDay;
    double frac = x - double(Trunc(x));
    double sec = double(Trunc(x));
    if (sec > 2147483647.0) {
        sec = sec - 4294967295.0 - 1.0;
    }
    frac = double(Trunc(frac * kTenthsOfMillisecond)) / kTenthsOfMillisecond;
    frac = frac * kFractionDivisor;
    if (frac > 2147483647.0) {
        frac = frac - 4294967295.0 - 1.0;
    }
    seconds = htonl(LowWord(sec));
    fraction = htonl(LowWord(frac));
}

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

    TNtpPacket request{};
    request.LiVnMode = nts != nullptr ? kNtsRequest : kClientRequest;
    const TDateTime t1 = clock_();
    // T1 goes into both: servers echo the transmit words, which is how the reply is recognised.
    EncodeTimestamp(t1, request.OriginateTime[0], request.OriginateTime[1]);
    EncodeTimestamp(t1, request.TransmitTime[0], request.TransmitTime[1]);
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
        if (error == 0 && IsAnswerTo(target, request) &&
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

bool TSNTPSend::IsAnswerTo(const sockaddr_in& target, const TNtpPacket& request) const {
    const sockaddr_in& sender = socket_->RemoteAddress;
    if (replyData_.size() < sizeof(TNtpPacket) ||
        sender.sin_addr.s_addr != target.sin_addr.s_addr || sender.sin_port != target.sin_port) {
        return false;
    }
    TNtpPacket answer;
    std::memcpy(&answer, replyData_.data(), sizeof answer);
    return SameWords(answer.OriginateTime, request.TransmitTime);
}

bool TSNTPSend::AcceptReply(TDateTime t1, TDateTime t4) {
    std::memcpy(&reply_, replyData_.data(), sizeof reply_);
    leapIndicator_ = reply_.LiVnMode >> 6;
    versionNumber_ = (reply_.LiVnMode >> 3) & 7;
    replyMode_ = reply_.LiVnMode & 7;
    rejectedBy_ = BrokenReplyRule(reply_);
    if (rejectedBy_ != ReplyRule::kNone) {
        kissCode_ = KissCodeOf(reply_);
        return false;
    }
    const TDateTime t2 = DecodeTimestamp(reply_.ReceiveTime[0], reply_.ReceiveTime[1]);
    const TDateTime t3 = DecodeTimestamp(reply_.TransmitTime[0], reply_.TransmitTime[1]);
    // Receive minus transmit, in that order, as designed: it adds the server's hold time T3 - T2
    // where the textbook subtracts it. The server time (T3 plus half of d) is the figure the
    // controller uses, and a server holds a request for microseconds, below the tenth of a
    // millisecond the timestamps are cut to, so the design's figures are kept as they stand.
    const double d = (t4 - t1) - (t2 - t3);
    serverTime_ = t3 + d / 2;
    offsetSeconds_ = ((t2 - t1) + (t3 - t4)) / 2 * kSecondsPerDay;
    delaySeconds_ = d * kSecondsPerDay;
    return true;
}

}  // namespace velmora
