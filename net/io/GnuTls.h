#pragma once

#include <gnutls/gnutls.h>

#include <string>

namespace velmora {

// The GnuTLS functions the TLS channel calls, taken from the library when the first channel
// needs them rather than with the program: GnuTLS and the libraries it brings cost every start a
// few milliseconds, for NTS entries that few server lists have.
struct GnuTls {
    decltype(&gnutls_certificate_allocate_credentials) certificate_allocate_credentials;
    decltype(&gnutls_certificate_set_x509_system_trust) certificate_set_x509_system_trust;
    decltype(&gnutls_certificate_free_credentials) certificate_free_credentials;
    decltype(&gnutls_certificate_verification_status_print) certificate_verification_status_print;
    decltype(&gnutls_certificate_set_verify_function) certificate_set_verify_function;
    decltype(&gnutls_certificate_get_peers) certificate_get_peers;
    decltype(&gnutls_init) init;
    decltype(&gnutls_deinit) deinit;
    decltype(&gnutls_session_set_ptr) session_set_ptr;
    decltype(&gnutls_session_get_ptr) session_get_ptr;
    decltype(&gnutls_priority_set_direct) priority_set_direct;
    decltype(&gnutls_credentials_set) credentials_set;
    decltype(&gnutls_server_name_set) server_name_set;
    decltype(&gnutls_session_set_verify_cert) session_set_verify_cert;
    decltype(&gnutls_session_get_verify_cert_status) session_get_verify_cert_status;
    decltype(&gnutls_alpn_set_protocols) alpn_set_protocols;
    decltype(&gnutls_alpn_get_selected_protocol) alpn_get_selected_protocol;
    decltype(&gnutls_transport_set_int2) transport_set_int2;
    decltype(&gnutls_transport_set_vec_push_function) transport_set_vec_push_function;
    decltype(&gnutls_handshake) handshake;
    decltype(&gnutls_protocol_get_version) protocol_get_version;
    decltype(&gnutls_record_get_direction) record_get_direction;
    decltype(&gnutls_record_send) record_send;
    decltype(&gnutls_record_recv) record_recv;
    decltype(&gnutls_prf_rfc5705) prf_rfc5705;
    decltype(&gnutls_bye) bye;
    decltype(&gnutls_error_is_fatal) error_is_fatal;
    decltype(&gnutls_strerror) strerror;
    // The library's deallocator is a variable that holds it.
    gnutls_free_function* free;
};

// The functions, loaded once; null when the library or one of them is missing, and `why` (when
// given) then says so.
const GnuTls* LoadGnuTls(std::string* why = nullptr);

}  // namespace velmora
