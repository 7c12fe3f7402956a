#pragma once

#include <optional>
#include <string>
#include <vector>

#include "net/io/Deadline.h"
#include "net/io/SocketAddress.h"
#include "net/nts/NtsSessions.h"

namespace velmora {

// The NTS key establishment (RFC 8915, section 4) with the server at the first of `addresses`
// that accepts a connection, tried in order, whose certificate must name `hostName`: TLS 1.3
// with ALPN "ntske/1", NTPv4 and AEAD_AES_SIV_CMAC_256 agreed, the keys exported, the cookies
// taken. Time requests go to the address connected to unless the server names another.
// Nothing on any failure.
std::optional<NtsSession> EstablishNtsSession(const std::vector<SocketAddress>& addresses,
                                              const std::string& hostName, const Deadline& deadline,
                                              std::string& why);

}  // namespace velmora
