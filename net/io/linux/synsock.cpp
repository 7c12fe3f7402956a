#include "net/io/linux/synsock.h"

#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>
#include <vector>

#include "net/io/HostLookup.h"

namespace velmora {

namespace {

timespec TimeLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::max<std::int64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                 deadline - std::chrono::steady_clock::now())
                                                 .count(),
                                             0);
    timespec limit{};
    limit.tv_sec = static_cast<time_t>(left / 1000000);
    limit.tv_nsec = static_cast<long>(left % 1000000) * 1000;
    return limit;
}

thread_local int lastError = 0;
std::atomic<int> outstandingStartups{0};

// errno names onto the Windows Sockets numbering (10000 + the Berkeley number). Looked up by
// name, so Linux's own values never leak into the numbers callers see.
constexpr std::pair<int, int> kErrnoMap[] = {
    {EINTR, 10004},           {EBADF, 10009},        {EACCES, 10013},
    {EPERM, 10013},           {EFAULT, 10014},       {EINVAL, 10022},
    {EMFILE, 10024},          {ENFILE, 10024},       {EWOULDBLOCK, 10035},
    {EAGAIN, 10035},          {EINPROGRESS, 10036},  {EALREADY, 10037},
    {ENOTSOCK, 10038},        {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},
    {EPROTOTYPE, 10041},      {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043},
    {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},   {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},
    {ENETDOWN, 10050},        {ENETUNREACH, 10051},  {ENETRESET, 10052},
    {ECONNABORTED, 10053},    {ECONNRESET, 10054},   {ENOBUFS, 10055},
    {ENOMEM, 10055},          {EISCONN, 10056},      {ENOTCONN, 10057},
    {ESHUTDOWN, 10058},       {ETOOMANYREFS, 10059}, {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},    {ELOOP, 10062},        {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},       {EHOSTUNREACH, 10065}, {ENOTEMPTY, 10066},
    {EUSERS, 10068},          {EDQUOT, 10069},       {ESTALE, 10070},
    {EREMOTE, 10071},
};

int Fail(int wsaError) {
    lastError = wsaError;
    return kSocketError;
}

int FromErrno(int result) {
    if (result == kSocketError) {
        lastError = MapErrno(errno);
    }
    return result;
}

bool Initialised() {
    return outstandingStartups.load() > 0;
}

}  // namespace

int MapErrno(int error) {
    if (error == 0) {
        return 0;
    }
    for (const auto& [from, to] : kErrnoMap) {
        if (from == error) {
            return to;
        }
    }
    // No Berkeley counterpart: still a failure, reported as the generic one.
    return wsa::kInvalidArgument;
}

int MapLookupError(int error) {
    switch (error) {
        case 0:
            return 0;
        case EAI_AGAIN:
            return wsa::kTryAgain;
        case EAI_FAIL:
        case EAI_MEMORY:
            return wsa::kNoRecovery;
#ifdef EAI_NODATA
        case EAI_NODATA:
#endif
        case EAI_ADDRFAMILY:
            return wsa::kNoData;
        case EAI_SYSTEM:
            return MapErrno(errno);
        default:
            return wsa::kHostNotFound;
    }
}

int BsdSocketApi::Startup(std::uint16_t version, StartupData& data) {
    // Version 1.1 or later: major number in the low byte.
    if ((version & 0xFF) < 1) {
        return wsa::kVersionNotSupported;
    }
    data = StartupData{};
    data.Version = 0x0101;
    data.HighVersion = 0x0202;
    std::strncpy(data.Description, "BSD sockets", sizeof data.Description - 1);
    std::strncpy(data.SystemStatus, "Running", sizeof data.SystemStatus - 1);
    ++outstandingStartups;
    return 0;
}

int BsdSocketApi::Cleanup() {
    int count = outstandingStartups.load();
    while (count > 0 && !outstandingStartups.compare_exchange_weak(count, count - 1)) {
    }
    return count > 0 ? 0 : Fail(wsa::kNotInitialised);
}

int BsdSocketApi::OutstandingStartups() {
    return outstandingStartups.load();
}

SocketHandle BsdSocketApi::Socket(int family, int type, int protocol) {
    if (!Initialised()) {
        return Fail(wsa::kNotInitialised);
    }
    const SocketHandle handle = ::socket(family, type | SOCK_CLOEXEC, protocol);
    if (handle != kInvalidSocket && family == AF_INET6) {
        // Both families on one socket, even where the system makes IPv6 sockets IPv6-only.
        const int off = 0;
        ::setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    }
    return FromErrno(handle);
}

int BsdSocketApi::SendTo(SocketHandle handle, const void* buffer, int length, int flags,
                         const SocketAddress& to) {
    if (length < 0) {
        return Fail(wsa::kInvalidArgument);
    }
    int family = AF_UNSPEC;
    socklen_t familySize = sizeof family;
    ::getsockopt(handle, SOL_SOCKET, SO_DOMAIN, &family, &familySize);
    const SocketAddress target = to.ForSocketFamily(family);
    const auto sent = ::sendto(handle, buffer, static_cast<std::size_t>(length),
                               flags | MSG_NOSIGNAL, target.Raw(), target.Size());
    return FromErrno(static_cast<int>(sent));
}

int BsdSocketApi::RecvFrom(SocketHandle handle, void* buffer, int length, int flags,
                           SocketAddress& from) {
    if (length < 0) {
        return Fail(wsa::kInvalidArgument);
    }
    sockaddr_storage sender{};
    socklen_t size = sizeof sender;
    const auto read = ::recvfrom(handle, buffer, static_cast<std::size_t>(length), flags,
                                 reinterpret_cast<sockaddr*>(&sender), &size);
    if (read >= 0) {
        from = SocketAddress::FromSystem(reinterpret_cast<const sockaddr*>(&sender), size)
                   .value_or(SocketAddress());
    }
    return FromErrno(static_cast<int>(read));
}

int BsdSocketApi::SelectReadable(SocketHandle handle, std::int64_t timeoutMicroseconds) {
    // ppoll rather than select: no FD_SETSIZE ceiling on the handle, same readiness.
    // Only -1 means no limit; other negative limits are refused, as select refuses them.
    if (timeoutMicroseconds < -1) {
        return Fail(wsa::kInvalidArgument);
    }
    // ppoll skips a negative descriptor and would sleep out the whole limit; select refuses a
    // socket that was never made at once.
    if (handle < 0) {
        return Fail(wsa::kNotSocket);
    }
    pollfd entry{handle, POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::microseconds(std::max<std::int64_t>(timeoutMicroseconds, 0));
    int ready = 0;
    // A signal (the program's own SIGTERM handler, say) must not cut a wait short: wait again
    // for what is left of the limit.
    do {
        timespec limit = TimeLeft(deadline);
        ready = ::ppoll(&entry, 1, timeoutMicroseconds >= 0 ? &limit : nullptr, nullptr);
    } while (ready < 0 && errno == EINTR);
    ready = FromErrno(ready);
    if (ready > 0 && (entry.revents & POLLNVAL) != 0) {
        return Fail(wsa::kNotSocket);
    }
    return ready;
}

int BsdSocketApi::PendingBytes(SocketHandle handle, int& count) {
    return FromErrno(::ioctl(handle, FIONREAD, &count));
}

int BsdSocketApi::Shutdown(SocketHandle handle, int how) {
    return FromErrno(::shutdown(handle, how));
}

int BsdSocketApi::CloseSocket(SocketHandle handle) {
    return FromErrno(::close(handle));
}

std::optional<std::string> BsdSocketApi::ProtocolByNumber(int number) {
    protoent entry{};
    protoent* found = nullptr;
    std::vector<char> scratch(1024);
    while (::getprotobynumber_r(number, &entry, scratch.data(), scratch.size(), &found) == ERANGE &&
           scratch.size() < 65536) {
        scratch.resize(scratch.size() * 2);
    }
    if (found == nullptr) {
        return std::nullopt;
    }
    return std::string(found->p_name);
}

std::optional<std::uint16_t> BsdSocketApi::ServiceByName(const std::string& name,
                                                         const std::string& protocol) {
    servent entry{};
    servent* found = nullptr;
    std::vector<char> scratch(1024);
    while (::getservbyname_r(name.c_str(), protocol.c_str(), &entry, scratch.data(), scratch.size(),
                             &found) == ERANGE &&
           scratch.size() < 65536) {
        scratch.resize(scratch.size() * 2);
    }
    if (found == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(found->s_port);
}

std::uint32_t BsdSocketApi::InetAddr(const std::string& text) {
    return ::inet_addr(text.c_str());
}

std::vector<SocketAddress> BsdSocketApi::HostByName(const std::string& name,
                                                    std::int32_t timeoutMilliseconds) {
    std::vector<SocketAddress> addresses;
    if (const int status = LookUpHost(name, timeoutMilliseconds, addresses); status != 0) {
        lastError = status;
    }
    return addresses;
}

int BsdSocketApi::LastError() {
    return lastError;
}

SocketApi& DefaultSocketApi() {
    static BsdSocketApi* const api = new BsdSocketApi;
    return *api;
}

}  // namespace velmora
