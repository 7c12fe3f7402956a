#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/DateTime.h"
#include "net/io/Deadline.h"
#include "net/io/blcksock.h"
#include "net/sntp/NtpPacket.h"
#include "net/sntp/ReplyChecks.h"
#include "net/sntp/ReplyJudge.h"
#include "net/sntp/Timestamp.h"

namespace velmora {

class NtsSessions;
class RequestSeal;
struct NtsEntry;
struct NtsSession;

// The current UTC time from the real-time clock, to the microsecond.
TDateTime CurrentUtcTime();

// Asks one time server for the time with one SNTP exchange: resolves, sends, waits, and has the
// answer judged (net/sntp, net/nts). Every failure is the result false; the results of the last
// valid reply are only ever overwritten. One thread at a time uses a client, not always the same
// one; what clients share (the binding, the NTS sessions, the lookups) may be used from any.
class TSNTPSend {
  public:
    using UtcClock = std::function<TDateTime()>;

    TSNTPSend();
    explicit TSNTPSend(SocketApi& api);
    TSNTPSend(SocketApi& api, UtcClock clock);
    // `sessions` holds the NTS keys and cookies; it must outlive the client. The others use the
    // program's store (DefaultNtsSessions).
    TSNTPSend(SocketApi& api, UtcClock clock, NtsSessions& sessions);
    virtual ~TSNTPSend();
    TSNTPSend(const TSNTPSend&) = delete;
    TSNTPSend& operator=(const TSNTPSend&) = delete;

    // A host name, an IPv4 address, an IPv6 address (bare or in brackets), or an NTS entry.
    std::string ServerHost = "localhost";
    std::int32_t ReplyTimeout = 5000;

    bool QueryServer();

    TDateTime ServerTime() const { return serverTime_; }
    double OffsetSeconds() const { return offsetSeconds_; }
    double DelaySeconds() const { return delaySeconds_; }
    const TNtpPacket& Reply() const { return reply_; }
    const std::string& ReplyData() const { return replyData_; }
    std::uint8_t LeapIndicator() const { return leapIndicator_; }
    std::uint8_t VersionNumber() const { return versionNumber_; }
    std::uint8_t ReplyMode() const { return replyMode_; }
    // The header rule the last query's reply broke; kNone after a valid reply or none at all.
    ReplyRule RejectedBy() const { return rejectedBy_; }
    // The kiss code ("DENY", "RSTR", "RATE", ...) when the last query's answer was a
    // kiss-o'-death, else empty. Over NTS only an authenticated one counts.
    const std::string& KissCode() const { return kissCode_; }
    // Whether the last query's host name resolved (true for addresses).
    bool NameResolved() const { return nameResolved_; }
    // Why the last query's NTS key exchange failed, in plain words; empty when it did not fail.
    const std::string& KeyExchangeFailure() const { return keyExchangeFailure_; }
    // Why this build cannot ask the last query's entry at all, in plain words; empty when it can.
    const std::string& NotAvailable() const { return notAvailable_; }
    TUDPBlockSocket& Socket() { return *socket_; }

  private:
    // How one exchange ended: nothing that answers the request came, or an answer came that the
    // header rules reject or accept.
    enum class Answer { kNone, kRejected, kAccepted };

    TSNTPSend(SocketApi& api, UtcClock clock, NtsSessions* sessions);

    // The query of an NTS entry; the build picks it (NtsQuery, or NtsUnavailable where there is
    // no NTS).
    bool QueryNts(const Deadline& deadline);
    std::optional<NtsSession> Handshake(const NtsEntry& entry, const Deadline& deadline);
    // The addresses of `host`, noting whether the name resolved.
    std::vector<SocketAddress> Resolve(const std::string& host, const std::string& port,
                                       const Deadline& deadline);
    // Asks the addresses of host:port in turn until one answers; `seal` (an NTS session) seals
    // each request and judges its answer.
    Answer Exchange(const std::string& host, const std::string& port, const Deadline& deadline,
                    RequestSeal* seal);
    Answer Ask(const SocketAddress& target, const Deadline& deadline, RequestSeal* seal);
    bool AwaitReply(const Deadline& deadline, const SocketAddress& target,
                    const TNtpPacket& request, RequestSeal* seal);
    bool AcceptReply(TDateTime t1, TDateTime t4);

    TNtpPacket reply_{};
    TDateTime serverTime_ = 0;
    double offsetSeconds_ = 0;
    double delaySeconds_ = 0;
    std::unique_ptr<TUDPBlockSocket> socket_;
    std::string replyData_;
    std::uint8_t leapIndicator_ = 0;
    std::uint8_t versionNumber_ = 0;
    std::uint8_t replyMode_ = 0;
    ReplyRule rejectedBy_ = ReplyRule::kNone;
    std::string kissCode_;
    bool nameResolved_ = true;
    std::string keyExchangeFailure_;
    std::string notAvailable_;
    UtcClock clock_;
    NtsSessions* sessions_;  // nullptr: the program's store
};

}  // namespace velmora
