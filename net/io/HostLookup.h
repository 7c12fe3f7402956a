#pragma once

#include <netdb.h>

#include <cstdint>
#include <string>

namespace velmora {

// getaddrinfo for IPv4 with a time limit (-1: none). Returns 0 with `list` set (free it with
// freeaddrinfo), EAI_INPROGRESS when the limit passed first, or the lookup's own EAI_* error.
// A resolver that never answers costs the caller no more than the limit: the lookup is given
// up and left to end in the background.
int LookUpHost(const std::string& name, std::int32_t timeoutMilliseconds, addrinfo*& list);

}  // namespace velmora
