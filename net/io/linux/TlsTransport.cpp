// The TLS channel's Linux part: a non-blocking TCP socket waited on with poll, written without
// SIGPIPE, and the system's trust store (GnuTLS's own check) for the server's certificate.
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "net/io/GnuTls.h"
#include "net/io/TlsChannel.h"
#include "net/io/linux/QuietTransport.h"

namespace velmora {

namespace {

// GnuTLS writes with plain sendmsg: a peer that has hung up would raise SIGPIPE and end the
// program. The same write, reporting EPIPE instead.
ssize_t PushQuietly(gnutls_transport_ptr_t transport, const giovec_t* parts, int count) {
    msghdr message{};
    message.msg_iov = const_cast<giovec_t*>(parts);
    message.msg_iovlen = static_cast<std::size_t>(count);
    return ::sendmsg(static_cast<int>(reinterpret_cast<std::intptr_t>(transport)), &message,
                     MSG_NOSIGNAL);
}

std::string OnPort(const SocketAddress& address, const char* what) {
    return "port " + std::to_string(ntohs(address.Port())) + ": " + what;
}

}  // namespace

void SetQuietTransport(gnutls_session_int* session, int socket) {
    // A session exists, so the library is there.
    const GnuTls& tls = *LoadGnuTls();
    tls.transport_set_int2(session, socket, socket);
    tls.transport_set_vec_push_function(session, PushQuietly);
}

// Waits until the socket is ready or the deadline passes; signals do not end it.
bool TlsChannel::AwaitSocket(bool readable, const Deadline& deadline) {
    for (;;) {
        pollfd entry{socket_, static_cast<short>(readable ? POLLIN : POLLOUT), 0};
        // A negative limit other than "none" has passed before it began.
        const int wait = deadline.Unlimited() ? -1 : std::max(deadline.Left(), 0);
        if (wait == 0) {
            return false;
        }
        const int ready = ::poll(&entry, 1, wait);
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

void TlsChannel::Close() {
    if (socket_ != kInvalidSocket) {
        ::close(socket_);
        socket_ = kInvalidSocket;
    }
}

bool TlsChannel::Connect(const SocketAddress& address, const Deadline& deadline) {
    Close();
    socket_ = ::socket(address.Family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (socket_ < 0) {
        return Fail(std::strerror(errno));
    }
    // The exchange is a few small writes in a row; Nagle's wait for the delayed ACK of each
    // would add 40 ms to every handshake.
    const int noDelay = 1;
    ::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    if (::connect(socket_, address.Raw(), address.Size()) == 0) {
        return true;
    }
    if (errno != EINPROGRESS) {
        return Fail(OnPort(address, std::strerror(errno)));
    }
    if (!AwaitSocket(false, deadline)) {
        return Fail(OnPort(address, kNoAnswerInTime));
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        return Fail(OnPort(address, std::strerror(error)));
    }
    return true;
}

bool TlsChannel::CheckServerBy(Identity& identity) {
    if (tls_->certificate_set_x509_system_trust(credentials_) <= 0) {
        return false;
    }
    tls_->session_set_verify_cert(session_, identity.hostName.c_str(), 0);
    return true;
}

void TlsChannel::SetTransport() {
    SetQuietTransport(session_, socket_);
}

// What was wrong with the server's certificate, in GnuTLS's words.
std::string TlsChannel::CertificateProblem() const {
    gnutls_datum_t text{};
    const unsigned status = tls_->session_get_verify_cert_status(session_);
    if (tls_->certificate_verification_status_print(status, GNUTLS_CRT_X509, &text, 0) < 0) {
        return "the server's certificate was refused";
    }
    std::string problem(reinterpret_cast<const char*>(text.data), text.size);
    (*tls_->free)(text.data);
    return problem;
}

}  // namespace velmora
