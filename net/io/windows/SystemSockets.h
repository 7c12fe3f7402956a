#pragma once

// The system's socket names as the shared socket code uses them (net/io/): the address records
// (sockaddr_in, sockaddr_in6, in6_addr), the families, htons and friends, INADDR_NONE, and the
// socket handle. The build puts this folder on the include path of the platform it is for.

#include <winsock2.h>
#include <ws2tcpip.h>
// After the two above: if_nametoindex for the scope of a link-local address.
#include <iphlpapi.h>

namespace velmora {

using SocketHandle = SOCKET;
inline constexpr SocketHandle kInvalidSocket = INVALID_SOCKET;
// Winsock has no such flag: the binding waits for nothing before a receive that carries it.
inline constexpr int kReceiveNoWait = 0x40000000;

}  // namespace velmora
