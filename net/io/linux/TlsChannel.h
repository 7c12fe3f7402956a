#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/io/Deadline.h"
#include "net/io/SocketAddress.h"

struct gnutls_session_int;
struct gnutls_certificate_credentials_st;

namespace velmora {

struct GnuTls;

// Makes `socket` the session's transport, written with MSG_NOSIGNAL: a peer that hangs up is an
// error of the session, never a SIGPIPE that ends the program.
void SetQuietTransport(gnutls_session_int* session, int socket);

// One TLS 1.3 connection over TCP as a client, every step bounded by the caller's deadline.
// The server must show a certificate that the system's trust store vouches for and that names
// the host asked for, and must agree to the one application protocol offered. Any failure,
// the deadline included, is false; nothing throws.
class TlsChannel {
  public:
    TlsChannel() = default;
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    // The TCP connection to `address` (IPv4 or IPv6); a later call drops an earlier connection.
    bool Connect(const SocketAddress& address, const Deadline& deadline);
    // TLS over the connection: `hostName` is what the certificate must name (a host name or an
    // IPv4 or IPv6 address).
    bool Secure(const std::string& hostName, std::string_view alpn, const Deadline& deadline);
    bool Write(std::string_view bytes, const Deadline& deadline);
    // Appends what arrives next to `into`; false at the end of the stream, on an error or when
    // the deadline passes.
    bool Read(std::string& into, const Deadline& deadline);
    // Keying material exported from the session (RFC 5705 as TLS 1.3 defines it).
    std::optional<std::string> ExportKey(std::string_view label, std::string_view context,
                                         std::size_t size);
    // Why the last step that failed did, in plain words ("certificate not trusted: ...").
    const std::string& Failure() const { return failure_; }

  private:
    bool Fail(std::string why);

    bool Configure(const std::string& hostName, std::string_view alpn);
    bool Handshake(const Deadline& deadline);
    bool AwaitDirection(const Deadline& deadline);

    int socket_ = -1;
    // Loaded with the first TLS session of the process.
    const GnuTls* tls_ = nullptr;
    gnutls_session_int* session_ = nullptr;
    gnutls_certificate_credentials_st* credentials_ = nullptr;
    std::string failure_;
};

}  // namespace velmora
