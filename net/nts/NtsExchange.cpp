#include "net/nts/NtsExchange.h"

#include "net/io/RandomBytes.h"
#include "net/nts/NtsExtensions.h"
#include "net/nts/NtsRecords.h"

namespace velmora {

NtsExchange::NtsExchange(NtsSession& session)
    : session_(session),
      uniqueId_(RandomBytes(ntsfield::kUniqueIdentifierSize)),
      nonce_(RandomBytes(ntsfield::kNonceSize)) {
    if (!session_.cookies.empty()) {
        cookie_ = std::move(session_.cookies.front());
        session_.cookies.pop_front();
    }
    // The cookie spent and the ones still held, with the answer's, make a full set again.
    placeholders_ =
        ntske::kMaxCookies - 1 - std::min(session_.cookies.size(), ntske::kMaxCookies - 1);
}

std::string NtsExchange::Seal(std::string_view header) const {
    return SealNtsRequest(header, {uniqueId_, cookie_, placeholders_, nonce_}, session_.c2s);
}

bool NtsExchange::Accepts(std::string_view datagram) {
    NtsReply reply = OpenNtsReply(datagram, uniqueId_, session_.s2c);
    if (reply.kind == NtsReplyKind::kNak) {
        nakSeen_ = true;
    }
    if (reply.kind != NtsReplyKind::kAuthentic) {
        return false;
    }
    for (std::string& cookie : reply.cookies) {
        if (session_.cookies.size() < ntske::kMaxCookies && !cookie.empty() &&
            cookie.size() <= ntske::kMaxCookieSize) {
            session_.cookies.push_back(std::move(cookie));
        }
    }
    answered_ = true;
    return true;
}

void NtsExchange::Conclude() {
    if (answered_) {
        session_.unanswered = 0;
        session_.refused = false;
    } else if (nakSeen_) {
        session_.refused = true;
    } else {
        ++session_.unanswered;
    }
}

}  // namespace velmora
