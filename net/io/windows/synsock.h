#pragma once

#include "net/io/synsock.h"

namespace velmora {

// Winsock 2 itself: its own error numbers (WSAGetLastError, nothing translated), its own count of
// start-ups and clean-ups. One socket carries both families (IPV6_V6ONLY off, which Windows has
// on by default), and an ICMP "port unreachable" for an earlier datagram does not fail the next
// receive (SIO_UDP_CONNRESET off): a dead server is silence, as on Linux.
class WinsockApi : public SocketApi {
  public:
    int Startup(std::uint16_t version, StartupData& data) override;
    int Cleanup() override;
    SocketHandle Socket(int family, int type, int protocol) override;
    int SendTo(SocketHandle handle, const void* buffer, int length, int flags,
               const SocketAddress& to) override;
    int RecvFrom(SocketHandle handle, void* buffer, int length, int flags,
                 SocketAddress& from) override;
    int SelectReadable(SocketHandle handle, std::int64_t timeoutMicroseconds) override;
    int PendingBytes(SocketHandle handle, int& count) override;
    int Shutdown(SocketHandle handle, int how) override;
    int CloseSocket(SocketHandle handle) override;
    std::optional<std::string> ProtocolByNumber(int number) override;
    std::optional<std::uint16_t> ServiceByName(const std::string& name,
                                               const std::string& protocol) override;
    std::uint32_t InetAddr(const std::string& text) override;
    std::vector<SocketAddress> HostByName(const std::string& name,
                                          std::int32_t timeoutMilliseconds) override;
    int LastError() override;
};

}  // namespace velmora
