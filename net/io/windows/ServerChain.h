#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Why Windows does not trust `chain` (DER certificates: the server's own first, then those it
// sent to vouch for it) for a TLS server named `hostName` (a host name or an IPv4 or IPv6
// address); empty when it does. Windows builds the chain itself, fetching a root it trusts but
// has not stored yet as it does for its own connections, and applies its policy for TLS servers
// to it: what the user's Windows trusts, and only that, is trusted.
std::string ServerChainProblem(const std::vector<std::string_view>& chain,
                               const std::string& hostName);

}  // namespace velmora
