#pragma once

#include "net/io/synsock.h"

namespace velmora {

// Maps an errno value onto the Windows Sockets numbering (0 stays 0).
int MapErrno(int error);
// Maps a getaddrinfo result (EAI_*) onto 11001..11004 (0 stays 0).
int MapLookupError(int error);

// The BSD sockets of this system. Start-up is counted process-wide; calls made while no
// start-up is outstanding fail with kNotInitialised, as they would on the original platform.
class BsdSocketApi : public SocketApi {
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

    // Start-ups not yet matched by a clean-up, over the whole process.
    static int OutstandingStartups();
};

}  // namespace velmora
