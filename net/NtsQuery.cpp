#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/NtsHandshake.h"
#include "net/RequestSeal.h"
#include "net/SNTPsend.h"
#include "net/io/TlsChannel.h"
#include "net/nts/NtsEntry.h"
#include "net/nts/NtsExchange.h"
#include "net/nts/NtsSessions.h"

namespace velmora {

namespace {

// Each request of the query spends one cookie of the session and is judged by its keys.
class SessionSeal : public RequestSeal {
  public:
    explicit SessionSeal(NtsSession& session) : session_(session) {}

    bool Spent() const override { return velmora::Spent(session_); }
    std::string Seal(std::string_view header) override {
        exchange_.emplace(session_);
        return exchange_->Seal(header);
    }
    bool Accepts(std::string_view datagram) override {
        return exchange_ && exchange_->Accepts(datagram);
    }
    void Conclude() override {
        if (exchange_) {
            exchange_->Conclude();
        }
    }

  private:
    NtsSession& session_;
    std::optional<NtsExchange> exchange_;
};

}  // namespace

// An NTS entry never falls back to plain SNTP: every failure of it is the result false.
bool TSNTPSend::QueryNts(const Deadline& deadline) {
    // Loaded with the first NTS entry asked; without them nothing is sent at all.
    std::string missing;
    if (!TlsChannel::Available(&missing) || !AeadAvailable(&missing)) {
        notAvailable_ = "Network Time Security is not available: " + missing;
        return false;
    }
    const std::optional<NtsEntry> entry = ParseNtsEntry(ServerHost);
    if (!entry) {
        keyExchangeFailure_ = "the entry is not of the form nts://host or nts://host:port";
        return false;
    }
    NtsSessions& sessions = sessions_ != nullptr ? *sessions_ : DefaultNtsSessions();
    const std::string key = NtsSessionKey(*entry);
    std::optional<NtsSession> session = sessions.Take(key);
    if (!session) {
        session = Handshake(*entry, deadline);
        if (!session) {
            return false;
        }
    }
    SessionSeal seal(*session);
    const Answer answer =
        Exchange(session->ntpHost, std::to_string(session->ntpPort), deadline, &seal);
    // A session the server no longer honours is dropped here, so the next query starts afresh.
    sessions.Keep(key, std::move(*session));
    return answer == Answer::kAccepted;
}

std::optional<NtsSession> TSNTPSend::Handshake(const NtsEntry& entry, const Deadline& deadline) {
    std::vector<SocketAddress> addresses =
        Resolve(entry.host, std::to_string(entry.port), deadline);
    if (!nameResolved_) {
        return std::nullopt;
    }
    return EstablishNtsSession(addresses, entry.host, deadline, keyExchangeFailure_);
}

}  // namespace velmora
