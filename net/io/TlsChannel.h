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

// One TLS 1.3 connection over TCP as a client, every step bounded by the caller's deadline.
// The server must show a certificate that the system vouches for (Linux: its trust store;
// Windows: its own chain policy for TLS servers) and that names the host asked for, and must
// agree to the one application protocol offered. Any failure, the deadline included, is false;
// nothing throws.
class TlsChannel {
  public:
    // Whether the TLS library can be had; `why` (when given) says why not.
    static bool Available(std::string* why = nullptr);

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

    // What the server's certificate is checked against, and what was wrong with it.
    struct Identity {
        std::string hostName;
        std::string problem;
    };

  private:
    bool Fail(std::string why);

    bool Configure(const std::string& hostName, std::string_view alpn);
    bool Handshake(const Deadline& deadline);
    bool AwaitDirection(const Deadline& deadline);

    // The platform's part (net/io/<platform>/TlsTransport.cpp): the socket, and who vouches for
    // the server.
    bool AwaitSocket(bool readable, const Deadline& deadline);
    void Close();
    bool CheckServerBy(Identity& identity);
    void SetTransport();
    // Why the handshake's certificate check failed.
    std::string CertificateProblem() const;

    static constexpr const char* kNoAnswerInTime = "no answer within the time";

    SocketHandle socket_ = kInvalidSocket;
    // Loaded with the first TLS session of the process.
    const GnuTls* tls_ = nullptr;
    gnutls_session_int* session_ = nullptr;
    gnutls_certificate_credentials_st* credentials_ = nullptr;
    Identity identity_;
    std::string failure_;
    // Windows counts the users of its sockets.
    bool socketsStarted_ = false;
};

}  // namespace velmora
