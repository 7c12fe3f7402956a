#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/io/SocketAddress.h"

namespace velmora {

// How many lookups may be running at once, given-up ones included. glibc answers getaddrinfo_a
// from a pool of 20 threads, and a given-up lookup keeps one of them until the resolver gives up
// (30 s with its defaults); this many leave room for the lookups that end at once (the hosts
// file, a resolver that answers).
inline constexpr std::size_t kMaxLookupsRunning = 8;

// The IPv4 and IPv6 addresses of `name` (port 0) in the resolver's order, with a time limit
// (-1: none). Returns 0 with `addresses` set, EAI_AGAIN when the limit passed first or when
// kMaxLookupsRunning lookups of other names are still running (a name of the hosts file is then
// answered from that file), or the lookup's own EAI_* error.
// A resolver that never answers costs the caller no more than the limit: the lookup is given up
// and left to end in the background, and a later lookup of the same name waits for that one
// instead of starting another.
int LookUpHost(const std::string& name, std::int32_t timeoutMilliseconds,
               std::vector<SocketAddress>& addresses);

// Lookups started that have not ended yet, given-up ones included.
std::size_t LookupsRunning();

}  // namespace velmora
