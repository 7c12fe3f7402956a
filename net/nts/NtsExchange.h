#pragma once

#include <string>
#include <string_view>

#include "net/nts/NtsSessions.h"

namespace velmora {

// One NTS-protected time request on a session: spends one of its cookies, asks for as many new
// ones as it lacks, and judges each datagram that answers the request's header.
class NtsExchange {
  public:
    explicit NtsExchange(NtsSession& session);

    // The request: `header` followed by the unique identifier, the cookie, the placeholders and
    // the authenticator.
    std::string Seal(std::string_view header) const;
    // True only for the authentic answer, whose cookies then join the session. A NAK naming
    // this request is noted, not taken: it is unauthenticated, so the answer may still come.
    bool Accepts(std::string_view datagram);
    bool NakSeen() const { return nakSeen_; }
    // Notes on the session what became of the request once the wait for it is over: an answer
    // clears the count of unanswered requests, a NAK without an answer marks the cookies
    // refused, and silence counts one more unanswered request.
    void Conclude();

  private:
    NtsSession& session_;
    std::string cookie_;
    std::string uniqueId_;
    std::string nonce_;
    std::size_t placeholders_ = 0;
    bool nakSeen_ = false;
    bool answered_ = false;
};

}  // namespace velmora
