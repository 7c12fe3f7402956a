#include "net/io/blcksock.h"

#include <charconv>
#include <vector>

namespace velmora {

namespace {

constexpr std::uint16_t kRequestedVersion = 0x0101;
constexpr int kShutdownBoth = 2;
constexpr std::uint32_t kAllOnes = 0xFFFFFFFFu;

// Decimal port text; 0 when it is not a number, only the low 16 bits otherwise.
std::uint16_t DecimalPort(const std::string& text) {
    long long value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end != last || end == first) {
        return 0;
    }
    return static_cast<std::uint16_t>(static_cast<unsigned long long>(value) & 0xFFFFu);
}

}  // namespace

TBlockSocket::TBlockSocket(SocketApi& api) : api_(&api) {
    CheckResult(Api().Startup(kRequestedVersion, StartupInfo));
}

TBlockSocket::~TBlockSocket() {
    Close();
    Api().Cleanup();
}

void TBlockSocket::OpenSocket() {
    SocketError = Handle == kInvalidSocket ? Api().LastError() : 0;
}

void TBlockSocket::Close() {
    Api().Shutdown(Handle, kShutdownBoth);
    Api().CloseSocket(Handle);
}

void TBlockSocket::ConnectTo(const std::string&, const std::string&) {
    SocketError = wsa::kOperationNotSupported;
}

int TBlockSocket::SendData(const void*, int) {
    SocketError = wsa::kOperationNotSupported;
    return kSocketError;
}

int TBlockSocket::ReceiveData(void*, int) {
    SocketError = wsa::kOperationNotSupported;
    return kSocketError;
}

std::string TBlockSocket::ReceivePacket(std::int32_t timeout) {
    std::string result;
    SocketError = 0;
    int count = -1;
    if (WaitReadable(timeout)) {
        count = PendingBytes();
        if (count > 0) {
            std::vector<char> buffer(static_cast<std::size_t>(count));
            count = ReceiveData(buffer.data(), count);
            if (count > 0) {
                result.assign(buffer.data(), static_cast<std::size_t>(count));
            }
        } else {
            DiscardEmptyDatagram();
            count = 0;
        }
    } else {
        SocketError = wsa::kTimedOut;
    }
    if (count == 0) {
        SocketError = wsa::kConnectionReset;
    }
    return result;
}

// Readable with nothing pending means an empty datagram heads the queue; left there it would
// keep the socket readable and fail every later receive at once. Never blocks.
void TBlockSocket::DiscardEmptyDatagram() {
    char none = 0;
    SocketAddress from;
    Api().RecvFrom(Handle, &none, 0, kReceiveNoWait, from);
}

int TBlockSocket::SendDataTo(const void* buffer, int length) {
    const int sent = Api().SendTo(Handle, buffer, length, 0, RemoteAddress);
    CheckResult(sent);
    return sent;
}

int TBlockSocket::ReceiveDataFrom(void* buffer, int length) {
    const int read = Api().RecvFrom(Handle, buffer, length, 0, RemoteAddress);
    CheckResult(read);
    return read;
}

void TBlockSocket::ResolveAddress(SocketAddress& address, const std::string& host,
                                  const std::string& port) {
    address = ResolveAddresses(host, port).front();
}

std::vector<SocketAddress> TBlockSocket::ResolveAddresses(const std::string& host,
                                                          const std::string& port) {
    const std::uint16_t portNumber = ResolvePort(port);
    std::vector<SocketAddress> addresses = ResolveHost(host);
    for (SocketAddress& address : addresses) {
        address.SetPort(portNumber);
    }
    return addresses;
}

std::uint16_t TBlockSocket::ResolvePort(const std::string& port) {
    if (const auto protocol = Api().ProtocolByNumber(ProtocolNumber)) {
        if (const auto service = Api().ServiceByName(port, *protocol)) {
            return *service;
        }
    }
    return htons(DecimalPort(port));
}

// An unknown host stays all ones; the send to it is what fails. Literals never reach the
// resolver.
std::vector<SocketAddress> TBlockSocket::ResolveHost(const std::string& host) {
    if (host == "255.255.255.255") {
        return {SocketAddress::Ipv4(kAllOnes)};
    }
    const std::uint32_t dotted = Api().InetAddr(host);
    if (dotted != INADDR_NONE) {
        return {SocketAddress::Ipv4(dotted)};
    }
    if (const auto literal = SocketAddress::FromText(host)) {
        return {*literal};
    }
    std::vector<SocketAddress> found = Api().HostByName(host, LookupTimeout);
    if (found.empty()) {
        found.push_back(SocketAddress::Ipv4(kAllOnes));
    }
    return found;
}

void TBlockSocket::SetRemoteAddress(const std::string& host, const std::string& port) {
    ResolveAddress(RemoteAddress, host, port);
}

bool TBlockSocket::WaitReadable(std::int32_t timeout) {
    std::int64_t limit = -1;
    if (timeout != -1) {
        limit = static_cast<std::int64_t>(timeout / 1000) * 1000000 +
                static_cast<std::int64_t>(timeout % 1000) * 1000;
    }
    int ready = Api().SelectReadable(Handle, limit);
    CheckResult(ready);
    if (SocketError != 0) {
        ready = 0;
    }
    return ready > 0;
}

int TBlockSocket::PendingBytes() {
    int count = 0;
    Api().PendingBytes(Handle, count);
    return count;
}

void TBlockSocket::CheckResult(int value) {
    SocketError = value == kSocketError ? Api().LastError() : 0;
}

TSocksBlockSocket::TSocksBlockSocket(SocketApi& api) : TBlockSocket(api) {}

TUDPBlockSocket::TUDPBlockSocket(SocketApi& api) : TSocksBlockSocket(api) {}

TUDPBlockSocket::~TUDPBlockSocket() {
    delete SocksControlSock;
}

// One dual-stack socket rather than one per family: the client keeps its one handle to wait on
// and its one queue in which a late answer waits, whichever family a server has.
void TUDPBlockSocket::OpenSocket() {
    Handle = Api().Socket(AF_INET6, SOCK_DGRAM, IPPROTO_UDP);
    if (Handle == kInvalidSocket) {
        Handle = Api().Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    }
    ProtocolNumber = IPPROTO_UDP;
    TBlockSocket::OpenSocket();
}

void TUDPBlockSocket::ConnectTo(const std::string& host, const std::string& port) {
    SetRemoteAddress(host, port);
}

int TUDPBlockSocket::SendData(const void* buffer, int length) {
    return SendDataTo(buffer, length);
}

int TUDPBlockSocket::ReceiveData(void* buffer, int length) {
    return ReceiveDataFrom(buffer, length);
}

}  // namespace velmora
