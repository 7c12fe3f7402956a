#include "net/io/windows/synsock.h"

#include <mswsock.h>

#include <cstring>

#include "net/io/HostLookup.h"

namespace velmora {

namespace {

// The calls of this binding (getaddrinfo, IPv6, WSAIoctl) are Winsock 2's, so the system is
// asked for 2.2 whatever the caller's request, which must be 1.1 or later as the design's is.
constexpr WORD kWinsockVersion = MAKEWORD(2, 2);

int Fail(int error) {
    WSASetLastError(error);
    return SOCKET_ERROR;
}

// Windows makes IPv6 sockets IPv6-only unless told otherwise.
void CarryBothFamilies(SOCKET handle) {
    const DWORD off = 0;
    setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&off), sizeof off);
}

// Windows fails the next receive with WSAECONNRESET after an ICMP "port unreachable" for an
// earlier datagram; Linux reports nothing on an unconnected socket, and a client waits on for
// the answer of another address rather than stop at an earlier one's error.
void IgnorePortUnreachable(SOCKET handle) {
    BOOL report = FALSE;
    DWORD returned = 0;
    WSAIoctl(handle, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr,
             nullptr);
}

int FamilyOf(SOCKET handle) {
    WSAPROTOCOL_INFOW info{};
    int size = sizeof info;
    if (getsockopt(handle, SOL_SOCKET, SO_PROTOCOL_INFOW, reinterpret_cast<char*>(&info), &size) !=
        0) {
        return AF_UNSPEC;
    }
    return info.iAddressFamily;
}

}  // namespace

int WinsockApi::Startup(std::uint16_t version, StartupData& data) {
    // Major number in the low byte.
    if ((version & 0xFF) < 1) {
        return WSAVERNOTSUPPORTED;
    }
    WSADATA system{};
    if (const int result = WSAStartup(kWinsockVersion, &system); result != 0) {
        return result;
    }
    data = StartupData{};
    data.Version = system.wVersion;
    data.HighVersion = system.wHighVersion;
    // The records have the same sizes; the last byte stays the terminating zero.
    static_assert(sizeof data.Description == sizeof system.szDescription);
    static_assert(sizeof data.SystemStatus == sizeof system.szSystemStatus);
    std::memcpy(data.Description, system.szDescription, sizeof data.Description - 1);
    std::memcpy(data.SystemStatus, system.szSystemStatus, sizeof data.SystemStatus - 1);
    return 0;
}

int WinsockApi::Cleanup() {
    return WSACleanup();
}

SocketHandle WinsockApi::Socket(int family, int type, int protocol) {
    const SOCKET handle =
        WSASocketW(family, type, protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (handle == INVALID_SOCKET) {
        return handle;
    }
    if (family == AF_INET6) {
        CarryBothFamilies(handle);
    }
    if (type == SOCK_DGRAM) {
        IgnorePortUnreachable(handle);
    }
    return handle;
}

int WinsockApi::SendTo(SocketHandle handle, const void* buffer, int length, int flags,
                       const SocketAddress& to) {
    if (length < 0) {
        return Fail(WSAEINVAL);
    }
    const SocketAddress target = to.ForSocketFamily(FamilyOf(handle));
    return sendto(handle, static_cast<const char*>(buffer), length, flags, target.Raw(),
                  target.Size());
}

int WinsockApi::RecvFrom(SocketHandle handle, void* buffer, int length, int flags,
                         SocketAddress& from) {
    if (length < 0) {
        return Fail(WSAEINVAL);
    }
    if ((flags & kReceiveNoWait) != 0) {
        flags &= ~kReceiveNoWait;
        const int ready = SelectReadable(handle, 0);
        if (ready <= 0) {
            return ready < 0 ? ready : Fail(WSAEWOULDBLOCK);
        }
    }
    sockaddr_storage sender{};
    int size = sizeof sender;
    const int read = recvfrom(handle, static_cast<char*>(buffer), length, flags,
                              reinterpret_cast<sockaddr*>(&sender), &size);
    if (read >= 0) {
        from = SocketAddress::FromSystem(reinterpret_cast<const sockaddr*>(&sender), size)
                   .value_or(SocketAddress());
    }
    return read;
}

int WinsockApi::SelectReadable(SocketHandle handle, std::int64_t timeoutMicroseconds) {
    // Only -1 means no limit; other negative limits are refused, as select refuses them.
    if (timeoutMicroseconds < -1) {
        return Fail(WSAEINVAL);
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(handle, &readable);
    timeval limit{};
    limit.tv_sec = static_cast<long>(timeoutMicroseconds / 1000000);
    limit.tv_usec = static_cast<long>(timeoutMicroseconds % 1000000);
    return select(0, &readable, nullptr, nullptr, timeoutMicroseconds >= 0 ? &limit : nullptr);
}

int WinsockApi::PendingBytes(SocketHandle handle, int& count) {
    u_long pending = 0;
    const int result = ioctlsocket(handle, FIONREAD, &pending);
    count = static_cast<int>(pending);
    return result;
}

int WinsockApi::Shutdown(SocketHandle handle, int how) {
    return shutdown(handle, how);
}

int WinsockApi::CloseSocket(SocketHandle handle) {
    return closesocket(handle);
}

// Winsock keeps the entries of these lookups per thread.
std::optional<std::string> WinsockApi::ProtocolByNumber(int number) {
    const protoent* entry = getprotobynumber(number);
    return entry != nullptr ? std::optional<std::string>(entry->p_name) : std::nullopt;
}

std::optional<std::uint16_t> WinsockApi::ServiceByName(const std::string& name,
                                                       const std::string& protocol) {
    const servent* entry = getservbyname(name.c_str(), protocol.c_str());
    return entry != nullptr ? std::optional(static_cast<std::uint16_t>(entry->s_port))
                            : std::nullopt;
}

std::uint32_t WinsockApi::InetAddr(const std::string& text) {
    return inet_addr(text.c_str());
}

std::vector<SocketAddress> WinsockApi::HostByName(const std::string& name,
                                                  std::int32_t timeoutMilliseconds) {
    std::vector<SocketAddress> addresses;
    if (const int status = LookUpHost(name, timeoutMilliseconds, addresses); status != 0) {
        WSASetLastError(status);
    }
    return addresses;
}

int WinsockApi::LastError() {
    return WSAGetLastError();
}

SocketApi& DefaultSocketApi() {
    static WinsockApi* const api = new WinsockApi;
    return *api;
}

}  // namespace velmora
