// The TLS channel's Windows part: a non-blocking Winsock TCP socket waited on with select, and
// Windows' own chain policy, not GnuTLS's copy of the stores, for the server's certificate.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>
#include <string_view>
#include <vector>

#include "net/io/GnuTls.h"
#include "net/io/TlsChannel.h"
#include "net/io/windows/ServerChain.h"

namespace velmora {

namespace {

std::string OnPort(const SocketAddress& address, const std::string& what) {
    return "port " + std::to_string(ntohs(address.Port())) + ": " + what;
}

std::string WinsockError(int error) {
    return "Windows Sockets error " + std::to_string(error);
}

// Called by GnuTLS once the server has shown its certificates: nonzero ends the handshake.
int CheckTheWindowsWay(gnutls_session_t session) {
    const GnuTls& tls = *LoadGnuTls();
    auto& identity = *static_cast<TlsChannel::Identity*>(tls.session_get_ptr(session));
    unsigned count = 0;
    const gnutls_datum_t* presented = tls.certificate_get_peers(session, &count);
    std::vector<std::string_view> chain;
    for (unsigned i = 0; presented != nullptr && i < count; ++i) {
        chain.emplace_back(reinterpret_cast<const char*>(presented[i].data), presented[i].size);
    }
    identity.problem = chain.empty() ? "the server showed no certificate"
                                     : ServerChainProblem(chain, identity.hostName);
    return identity.problem.empty() ? 0 : -1;
}

}  // namespace

bool TlsChannel::AwaitSocket(bool readable, const Deadline& deadline) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket_, &ready);
    // A connection that fails is told among the exceptions, not as writable.
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(socket_, &failed);
    const int wait = deadline.Unlimited() ? -1 : std::max(deadline.Left(), 0);
    if (wait == 0) {
        return false;
    }
    timeval limit{wait / 1000, (wait % 1000) * 1000};
    const int result = select(0, readable ? &ready : nullptr, readable ? nullptr : &ready, &failed,
                              wait < 0 ? nullptr : &limit);
    return result > 0 && FD_ISSET(socket_, &ready) != 0;
}

void TlsChannel::Close() {
    if (socket_ != kInvalidSocket) {
        closesocket(socket_);
        socket_ = kInvalidSocket;
    }
    if (socketsStarted_) {
        WSACleanup();
        socketsStarted_ = false;
    }
}

bool TlsChannel::Connect(const SocketAddress& address, const Deadline& deadline) {
    Close();
    WSADATA data{};
    if (const int error = WSAStartup(MAKEWORD(2, 2), &data); error != 0) {
        return Fail(WinsockError(error));
    }
    socketsStarted_ = true;
    socket_ = WSASocketW(address.Family(), SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                         WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket_ == kInvalidSocket) {
        return Fail(WinsockError(WSAGetLastError()));
    }
    u_long nonBlocking = 1;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
    // The exchange is a few small writes in a row; Nagle's wait for the delayed ACK of each
    // would add 200 ms to every handshake.
    const BOOL noDelay = TRUE;
    setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    if (connect(socket_, address.Raw(), address.Size()) == 0) {
        return true;
    }
    if (const int error = WSAGetLastError(); error != WSAEWOULDBLOCK) {
        return Fail(OnPort(address, WinsockError(error)));
    }
    if (!AwaitSocket(false, deadline)) {
        int error = 0;
        int size = sizeof error;
        getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
        return Fail(OnPort(address, error != 0 ? WinsockError(error) : kNoAnswerInTime));
    }
    return true;
}

bool TlsChannel::CheckServerBy(Identity& identity) {
    tls_->certificate_set_verify_function(credentials_, CheckTheWindowsWay);
    tls_->session_set_ptr(session_, &identity);
    return true;
}

void TlsChannel::SetTransport() {
    // GnuTLS's own transport on Windows is send and recv on the socket, its errors read from
    // WSAGetLastError; socket numbers fit an int.
    tls_->transport_set_int2(session_, static_cast<int>(socket_), static_cast<int>(socket_));
}

std::string TlsChannel::CertificateProblem() const {
    return identity_.problem.empty() ? "the server's certificate was refused" : identity_.problem;
}

}  // namespace velmora
