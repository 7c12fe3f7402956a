#include "net/io/linux/TlsChannel.h"

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "net/io/linux/GnuTls.h"

namespace velmora {

namespace {

// TLS 1.3 only: NTS forbids every earlier version.
constexpr const char* kPriorities = "NORMAL:-VERS-ALL:+VERS-TLS1.3";

// Waits until the socket is ready for `events` or the deadline passes; signals do not end it.
bool AwaitSocket(int socket, short events, const Deadline& deadline) {
    for (;;) {
        pollfd entry{socket, events, 0};
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

bool IsAddress(const std::string& host) {
    return SocketAddress::FromText(host).has_value();
}

// GnuTLS writes with plain sendmsg: a peer that has hung up would raise SIGPIPE and end the
// program. The same write, reporting EPIPE instead.
ssize_t PushQuietly(gnutls_transport_ptr_t transport, const giovec_t* parts, int count) {
    msghdr message{};
    message.msg_iov = const_cast<giovec_t*>(parts);
    message.msg_iovlen = static_cast<std::size_t>(count);
    return ::sendmsg(static_cast<int>(reinterpret_cast<std::intptr_t>(transport)), &message,
                     MSG_NOSIGNAL);
}

bool Retry(int result) {
    return result == GNUTLS_E_AGAIN || result == GNUTLS_E_INTERRUPTED;
}

constexpr const char* kNoAnswerInTime = "no answer within the time";

// What was wrong with the server's certificate, in GnuTLS's words.
std::string CertificateProblem(const GnuTls& tls, gnutls_session_t session) {
    gnutls_datum_t text{};
    const unsigned status = tls.session_get_verify_cert_status(session);
    if (tls.certificate_verification_status_print(status, GNUTLS_CRT_X509, &text, 0) < 0) {
        return "the server's certificate was refused";
    }
    std::string problem(reinterpret_cast<const char*>(text.data), text.size);
    (*tls.free)(text.data);
    return problem;
}

}  // namespace

void SetQuietTransport(gnutls_session_int* session, int socket) {
    // A session exists, so the library is there.
    const GnuTls& tls = *LoadGnuTls();
    tls.transport_set_int2(session, socket, socket);
    tls.transport_set_vec_push_function(session, PushQuietly);
}

TlsChannel::~TlsChannel() {
    if (session_ != nullptr) {
        // One try at a polite close; the peer does not have to hear it.
        tls_->bye(session_, GNUTLS_SHUT_WR);
        tls_->deinit(session_);
    }
    if (credentials_ != nullptr) {
        tls_->certificate_free_credentials(credentials_);
    }
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

bool TlsChannel::Secure(const std::string& hostName, std::string_view alpn,
                        const Deadline& deadline) {
    return socket_ >= 0 && session_ == nullptr && Configure(hostName, alpn) && Handshake(deadline);
}

bool TlsChannel::Fail(std::string why) {
    failure_ = std::move(why);
    return false;
}

bool TlsChannel::Connect(const SocketAddress& address, const Deadline& deadline) {
    if (socket_ >= 0) {
        ::close(socket_);
    }
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
        return Fail("port " + std::to_string(ntohs(address.Port())) + ": " + std::strerror(errno));
    }
    if (!AwaitSocket(socket_, POLLOUT, deadline)) {
        return Fail("port " + std::to_string(ntohs(address.Port())) + ": " + kNoAnswerInTime);
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        return Fail("port " + std::to_string(ntohs(address.Port())) + ": " + std::strerror(error));
    }
    return true;
}

bool TlsChannel::Configure(const std::string& hostName, std::string_view alpn) {
    std::string missing;
    tls_ = LoadGnuTls(&missing);
    if (tls_ == nullptr) {
        return Fail("no TLS: " + missing);
    }
    if (tls_->certificate_allocate_credentials(&credentials_) < 0 ||
        tls_->certificate_set_x509_system_trust(credentials_) <= 0 ||
        tls_->init(&session_, GNUTLS_CLIENT | GNUTLS_NONBLOCK) < 0 ||
        tls_->priority_set_direct(session_, kPriorities, nullptr) < 0 ||
        tls_->credentials_set(session_, GNUTLS_CRD_CERTIFICATE, credentials_) < 0) {
        return Fail("no TLS for want of the system's trust store");
    }
    // Server name indication carries names only, never addresses.
    if (!IsAddress(hostName) &&
        tls_->server_name_set(session_, GNUTLS_NAME_DNS, hostName.data(), hostName.size()) < 0) {
        return false;
    }
    tls_->session_set_verify_cert(session_, hostName.c_str(), 0);
    gnutls_datum_t protocol{reinterpret_cast<unsigned char*>(const_cast<char*>(alpn.data())),
                            static_cast<unsigned>(alpn.size())};
    if (tls_->alpn_set_protocols(session_, &protocol, 1, GNUTLS_ALPN_MANDATORY) < 0) {
        return false;
    }
    SetQuietTransport(session_, socket_);
    return true;
}

bool TlsChannel::AwaitDirection(const Deadline& deadline) {
    return AwaitSocket(socket_, tls_->record_get_direction(session_) == 0 ? POLLIN : POLLOUT,
                       deadline);
}

bool TlsChannel::Handshake(const Deadline& deadline) {
    for (;;) {
        const int result = tls_->handshake(session_);
        if (result == GNUTLS_E_SUCCESS) {
            break;
        }
        if (result == GNUTLS_E_CERTIFICATE_VERIFICATION_ERROR) {
            return Fail(CertificateProblem(*tls_, session_));
        }
        if (tls_->error_is_fatal(result) != 0) {
            return Fail(std::string("TLS: ") + tls_->strerror(result));
        }
        if (Retry(result) && !AwaitDirection(deadline)) {
            return Fail(kNoAnswerInTime);
        }
    }
    gnutls_datum_t agreed{};
    if (tls_->protocol_get_version(session_) != GNUTLS_TLS1_3 ||
        tls_->alpn_get_selected_protocol(session_, &agreed) != 0 || agreed.data == nullptr) {
        return Fail("the server does not offer TLS 1.3 with the protocol asked for");
    }
    return true;
}

bool TlsChannel::Write(std::string_view bytes, const Deadline& deadline) {
    while (!bytes.empty()) {
        const auto sent = tls_->record_send(session_, bytes.data(), bytes.size());
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (!Retry(static_cast<int>(sent)) || !AwaitDirection(deadline)) {
            return false;
        }
    }
    return true;
}

bool TlsChannel::Read(std::string& into, const Deadline& deadline) {
    char buffer[4096];
    for (;;) {
        const auto read = tls_->record_recv(session_, buffer, sizeof buffer);
        if (read > 0) {
            into.append(buffer, static_cast<std::size_t>(read));
            return true;
        }
        if (read == 0 || !Retry(static_cast<int>(read))) {
            return Fail("the server closed the connection before its answer was whole");
        }
        if (!AwaitDirection(deadline)) {
            return Fail(kNoAnswerInTime);
        }
    }
}

std::optional<std::string> TlsChannel::ExportKey(std::string_view label, std::string_view context,
                                                 std::size_t size) {
    std::string key(size, '\0');
    if (tls_->prf_rfc5705(session_, label.size(), label.data(), context.size(), context.data(),
                          size, key.data()) < 0) {
        return std::nullopt;
    }
    return key;
}

}  // namespace velmora
