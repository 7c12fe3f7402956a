#include "net/io/TlsChannel.h"

#include <string>

#include "net/io/GnuTls.h"

namespace velmora {

namespace {

// TLS 1.3 only: NTS forbids every earlier version.
constexpr const char* kPriorities = "NORMAL:-VERS-ALL:+VERS-TLS1.3";

bool IsAddress(const std::string& host) {
    return SocketAddress::FromText(host).has_value();
}

bool Retry(int result) {
    return result == GNUTLS_E_AGAIN || result == GNUTLS_E_INTERRUPTED;
}

}  // namespace

bool TlsChannel::Available(std::string* why) {
    return LoadGnuTls(why) != nullptr;
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
    Close();
}

bool TlsChannel::Secure(const std::string& hostName, std::string_view alpn,
                        const Deadline& deadline) {
    return socket_ != kInvalidSocket && session_ == nullptr && Configure(hostName, alpn) &&
           Handshake(deadline);
}

bool TlsChannel::Fail(std::string why) {
    failure_ = std::move(why);
    return false;
}

bool TlsChannel::Configure(const std::string& hostName, std::string_view alpn) {
    std::string missing;
    tls_ = LoadGnuTls(&missing);
    if (tls_ == nullptr) {
        return Fail("no TLS: " + missing);
    }
    identity_ = Identity{hostName, {}};
    if (tls_->certificate_allocate_credentials(&credentials_) < 0 ||
        tls_->init(&session_, GNUTLS_CLIENT | GNUTLS_NONBLOCK) < 0 ||
        tls_->priority_set_direct(session_, kPriorities, nullptr) < 0 ||
        !CheckServerBy(identity_) ||
        tls_->credentials_set(session_, GNUTLS_CRD_CERTIFICATE, credentials_) < 0) {
        return Fail("no TLS for want of the system's trust store");
    }
    // Server name indication carries names only, never addresses.
    if (!IsAddress(hostName) &&
        tls_->server_name_set(session_, GNUTLS_NAME_DNS, hostName.data(), hostName.size()) < 0) {
        return false;
    }
    gnutls_datum_t protocol{reinterpret_cast<unsigned char*>(const_cast<char*>(alpn.data())),
                            static_cast<unsigned>(alpn.size())};
    if (tls_->alpn_set_protocols(session_, &protocol, 1, GNUTLS_ALPN_MANDATORY) < 0) {
        return false;
    }
    SetTransport();
    return true;
}

bool TlsChannel::AwaitDirection(const Deadline& deadline) {
    return AwaitSocket(tls_->record_get_direction(session_) == 0, deadline);
}

bool TlsChannel::Handshake(const Deadline& deadline) {
    for (;;) {
        const int result = tls_->handshake(session_);
        if (result == GNUTLS_E_SUCCESS) {
            break;
        }
        if (result == GNUTLS_E_CERTIFICATE_VERIFICATION_ERROR || !identity_.problem.empty()) {
            return Fail(CertificateProblem());
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
