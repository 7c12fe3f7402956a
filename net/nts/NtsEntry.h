#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// A server-list entry asked with Network Time Security: "nts://host" or "nts://host:port", the
// port being the key exchange's (4460 unless given). The host is a name, an IPv4 address, or an
// IPv6 address in brackets ("nts://[2001:db8::1]:4460").
struct NtsEntry {
    std::string host;  // an IPv6 address without its brackets
    std::uint16_t port = 4460;
};

// Whether the entry names the nts scheme at all; such an entry is never asked without NTS.
bool IsNtsEntry(const std::string& entry);
// The host and port of an NTS entry; nothing when it is malformed (no host, a port that is not
// 1 to 65535, anything after the port, an IPv6 address without brackets).
std::optional<NtsEntry> ParseNtsEntry(const std::string& entry);
// What the sessions of an entry are kept by: "host:port", "[host]:port" for an IPv6 address.
std::string NtsSessionKey(const NtsEntry& entry);

}  // namespace velmora
