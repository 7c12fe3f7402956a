#include "net/SNTPsend.h"

#include <arpa/inet.h>

#include <cmath>
#include <cstring>
#include <ctime>

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
    : socket_(std::make_unique<TUDPBlockSocket>(api)), clock_(std::move(clock)) {
    socket_->OpenSocket();
}

TSNTPSend::~TSNTPSend() = default;

bool TSNTPSend::QueryServer() {
    rejectedBy_ = ReplyRule::kNone;
    // One limit for the whole exchange: a resolver that never answers costs no more than a
    // server that never answers.
    const Deadline deadline(ReplyTimeout);
    socket_->LookupTimeout = deadline.Left();
    socket_->ConnectTo(ServerHost, "ntp");
    const sockaddr_in target = socket_->RemoteAddress;

    TNtpPacket request{};
    request.LiVnMode = kClientRequest;
    const TDateTime t1 = clock_();
    // T1 goes into both: servers echo the transmit words, which is how the reply is recognised.
    EncodeTimestamp(t1, request.OriginateTime[0], request.OriginateTime[1]);
    EncodeTimestamp(t1, request.TransmitTime[0], request.TransmitTime[1]);
    socket_->SendData(&request, sizeof request);

    if (!AwaitReply(deadline, target, request)) {
        return false;
    }
    const TDateTime t4 = clock_();
    return AcceptReply(t1, t4);
}

// Waits until the deadline for the one datagram that answers this request; anything else that
// arrives meanwhile is dropped.
bool TSNTPSend::AwaitReply(const Deadline& deadline, const sockaddr_in& target,
                           const TNtpPacket& request) {
    std::int32_t wait = deadline.Left();
    for (;;) {
        replyData_ = socket_->ReceivePacket(wait);
        const std::int32_t error = socket_->SocketError;
        if (error == 0 && IsAnswerTo(target, request)) {
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
