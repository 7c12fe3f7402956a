#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>

#include "net/nts/AesSivCmac.h"

namespace velmora {

// What one key exchange with a server grants: the two keys, the cookies not yet spent, and
// where the time requests go.
struct NtsSession {
    AeadKey c2s{};
    AeadKey s2c{};
    std::deque<std::string> cookies;
    std::string ntpHost;
    std::uint16_t ntpPort = 123;
};

// The sessions of every NTS server asked, by "host:port" of its key exchange. They live in
// memory only, for as long as the store does: a new handshake is made only when a server's
// cookies have run out or it has refused them. One thread at a time.
class NtsSessions {
  public:
    // The session for `key` while it still holds a cookie, else nullptr.
    NtsSession* Usable(const std::string& key);
    NtsSession& Keep(const std::string& key, NtsSession session);
    void Forget(const std::string& key);

  private:
    std::map<std::string, NtsSession> sessions_;
};

// The store of the program, kept for its whole run.
NtsSessions& DefaultNtsSessions();

}  // namespace velmora
