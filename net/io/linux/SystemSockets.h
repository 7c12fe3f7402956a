#pragma once

// The system's socket names as the shared socket code uses them (net/io/): the address records
// (sockaddr_in, sockaddr_in6, in6_addr), the families, htons and friends, INADDR_NONE, and the
// socket handle. The build puts this folder on the include path of the platform it is for.

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace velmora {

using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;
// A receive with this flag never blocks.
inline constexpr int kReceiveNoWait = MSG_DONTWAIT;

}  // namespace velmora
