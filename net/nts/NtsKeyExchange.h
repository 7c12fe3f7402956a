#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/nts/NtsRecords.h"
#include "net/nts/NtsSessions.h"

namespace velmora {

// The application protocol the key exchange's TLS connection agrees on.
inline constexpr std::string_view kNtsAlpn = "ntske/1";
// The key export of RFC 8915: this label, and the context naming NTPv4, the AEAD algorithm and
// the direction (0: client to server, 1: server to client).
inline constexpr std::string_view kNtsExporterLabel = "EXPORTER-network-time-security";
std::string NtsExporterContext(std::uint8_t direction);

// The session a complete response grants, with the two keys exported from its TLS session
// (kAeadKeySize bytes each). Time requests go where the response says, else to the address the
// key exchange connected to, `keAddress` (numeric), on port 123: a name looked up again could
// lead to another server, which has never seen the cookies.
NtsSession GrantedSession(const NtsKeResponse& response, std::string_view c2s, std::string_view s2c,
                          const std::string& keAddress);

}  // namespace velmora
