#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "net/nts/AesSivCmac.h"

namespace velmora {

// What one key exchange with a server grants: the two keys, the cookies not yet spent, where
// the time requests go, and how the server has treated the requests so far.
struct NtsSession {
    AeadKey c2s{};
    AeadKey s2c{};
    std::deque<std::string> cookies;
    std::string ntpHost;
    std::uint16_t ntpPort = 123;
    // Requests in a row that got no answer at all.
    int unanswered = 0;
    // The server refused a cookie (an NTS NAK, and nothing authentic came instead).
    bool refused = false;
};

// Requests in a row without any answer after which a session is given up: a server that has
// forgotten its keys (a restart) may drop requests without a NAK, and waiting for the cookies to
// run out would cost eight failed queries.
inline constexpr int kMaxUnanswered = 2;

// Whether a new key exchange is due: no cookie left, cookies refused, or kMaxUnanswered
// requests in a row unanswered.
bool Spent(const NtsSession& session);

// The sessions of every NTS server asked, by the key of its entry (NtsSessionKey). They live in
// memory only, for as long as the store does. A query takes its server's session out and puts
// it back when done, so queries may come from any thread, one after another or at once.
class NtsSessions {
  public:
    // The session kept for `key`, taken out of the store; nothing when there is none.
    std::optional<NtsSession> Take(const std::string& key);
    // Keeps `session` for `key`, in place of any other; a spent one is dropped instead.
    void Keep(const std::string& key, NtsSession session);

  private:
    std::mutex mutex_;
    std::map<std::string, NtsSession> sessions_;
};

// The store of the program, kept for its whole run and never destroyed: a query still running
// on another thread while the process exits puts its session back into it.
NtsSessions& DefaultNtsSessions();

}  // namespace velmora
