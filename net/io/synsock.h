#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/io/SocketAddress.h"

namespace velmora {

inline constexpr int kSocketError = -1;

// Error numbers in the Windows Sockets numbering, which every socket object reports.
namespace wsa {
inline constexpr int kInterrupted = 10004;
inline constexpr int kBadHandle = 10009;
inline constexpr int kAccessDenied = 10013;
inline constexpr int kFault = 10014;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kTooManyOpen = 10024;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kNotSocket = 10038;
inline constexpr int kMessageSize = 10040;
inline constexpr int kProtocolNotSupported = 10043;
inline constexpr int kOperationNotSupported = 10045;
inline constexpr int kAddressFamilyNotSupported = 10047;
inline constexpr int kAddressInUse = 10048;
inline constexpr int kAddressNotAvailable = 10049;
inline constexpr int kNetworkDown = 10050;
inline constexpr int kNetworkUnreachable = 10051;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kNoBuffers = 10055;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kHostUnreachable = 10065;
inline constexpr int kVersionNotSupported = 10092;
inline constexpr int kNotInitialised = 10093;
inline constexpr int kHostNotFound = 11001;
inline constexpr int kTryAgain = 11002;
inline constexpr int kNoRecovery = 11003;
inline constexpr int kNoData = 11004;
}  // namespace wsa

// What the start-up call fills in; kept for its shape, nothing reads it.
struct StartupData {
    std::uint16_t Version = 0;
    std::uint16_t HighVersion = 0;
    char Description[257] = {};
    char SystemStatus[129] = {};
};

// The socket calls the blocking socket makes. Every call that fails returns -1 (or
// kInvalidSocket) and leaves the reason in LastError(), kept per thread. Addresses and ports
// are in network byte order, as on the wire; an IPv4 address is always given and returned as
// IPv4, whatever the family of the socket.
class SocketApi {
  public:
    virtual ~SocketApi() = default;

    // Start-up and clean-up are counted in pairs; Startup returns 0 or an error number.
    virtual int Startup(std::uint16_t version, StartupData& data) = 0;
    virtual int Cleanup() = 0;

    // An AF_INET6 socket carries IPv4 too, whatever the system's default; it fails with
    // kAddressFamilyNotSupported where the system has no IPv6.
    virtual SocketHandle Socket(int family, int type, int protocol) = 0;
    virtual int SendTo(SocketHandle handle, const void* buffer, int length, int flags,
                       const SocketAddress& to) = 0;
    // `from` receives the sender's address.
    virtual int RecvFrom(SocketHandle handle, void* buffer, int length, int flags,
                         SocketAddress& from) = 0;
    // Waits until `handle` is readable; timeoutMicroseconds -1 waits without limit, other
    // negative values are invalid.
    // Returns the number of ready handles (0 or 1) or -1.
    virtual int SelectReadable(SocketHandle handle, std::int64_t timeoutMicroseconds) = 0;
    // FIONREAD: bytes of the next pending datagram.
    virtual int PendingBytes(SocketHandle handle, int& count) = 0;
    virtual int Shutdown(SocketHandle handle, int how) = 0;
    virtual int CloseSocket(SocketHandle handle) = 0;

    // Name of the protocol with that number ("udp" for 17), if known.
    virtual std::optional<std::string> ProtocolByNumber(int number) = 0;
    // Port of the service for that protocol, in network byte order, if known.
    virtual std::optional<std::uint16_t> ServiceByName(const std::string& name,
                                                       const std::string& protocol) = 0;
    // Dotted IPv4 address in network byte order, INADDR_NONE when the text is not one.
    virtual std::uint32_t InetAddr(const std::string& text) = 0;
    // The IPv4 and IPv6 addresses of the host (port 0) in the order the resolver gives them, if
    // the lookup finds any within timeoutMilliseconds (-1: no limit); otherwise none, with the
    // reason in LastError() (kTryAgain for a lookup that takes longer).
    virtual std::vector<SocketAddress> HostByName(const std::string& name,
                                                  std::int32_t timeoutMilliseconds) = 0;

    virtual int LastError() = 0;
};

// The one real binding of the platform (net/io/linux, net/io/windows), shared by every socket
// that is not given another; never destroyed, so that a query still running on another thread
// while the process exits can go on using it.
SocketApi& DefaultSocketApi();

}  // namespace velmora
