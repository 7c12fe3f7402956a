#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>

#include "net/io/Deadline.h"
#include "net/nts/NtsSessions.h"

namespace velmora {

// The NTS key establishment (RFC 8915, section 4) with the server at `address`, whose
// certificate must name `hostName`: TLS 1.3 with ALPN "ntske/1", NTPv4 and
// AEAD_AES_SIV_CMAC_256 agreed, the keys exported, the cookies taken. Nothing on any failure.
std::optional<NtsSession> EstablishNtsSession(const sockaddr_in& address,
                                              const std::string& hostName,
                                              const Deadline& deadline);

}  // namespace velmora
