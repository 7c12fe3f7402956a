#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/Deadline.h"
#include "net/NtsSessions.h"

namespace velmora {

// The key export of RFC 8915: this label, and the context naming NTPv4, the AEAD algorithm and
// the direction (0: client to server, 1: server to client).
inline constexpr std::string_view kNtsExporterLabel = "EXPORTER-network-time-security";
std::string NtsExporterContext(std::uint8_t direction);

// The NTS key establishment (RFC 8915, section 4) with the server at `address`, whose
// certificate must name `hostName`: TLS 1.3 with ALPN "ntske/1", NTPv4 and
// AEAD_AES_SIV_CMAC_256 agreed, the keys exported, the cookies taken. Nothing on any failure.
std::optional<NtsSession> EstablishNtsSession(const sockaddr_in& address,
                                              const std::string& hostName,
                                              const Deadline& deadline);

}  // namespace velmora
