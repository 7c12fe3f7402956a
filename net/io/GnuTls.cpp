#include "net/io/GnuTls.h"

#include "net/io/SharedLibrary.h"

namespace velmora {

namespace {

void Bind(SharedLibrary& l, GnuTls& f) {
    l.Bind("gnutls_certificate_allocate_credentials", f.certificate_allocate_credentials);
    l.Bind("gnutls_certificate_set_x509_system_trust", f.certificate_set_x509_system_trust);
    l.Bind("gnutls_certificate_free_credentials", f.certificate_free_credentials);
    l.Bind("gnutls_certificate_verification_status_print", f.certificate_verification_status_print);
    l.Bind("gnutls_certificate_set_verify_function", f.certificate_set_verify_function);
    l.Bind("gnutls_certificate_get_peers", f.certificate_get_peers);
    l.Bind("gnutls_init", f.init);
    l.Bind("gnutls_deinit", f.deinit);
    l.Bind("gnutls_session_set_ptr", f.session_set_ptr);
    l.Bind("gnutls_session_get_ptr", f.session_get_ptr);
    l.Bind("gnutls_priority_set_direct", f.priority_set_direct);
    l.Bind("gnutls_credentials_set", f.credentials_set);
    l.Bind("gnutls_server_name_set", f.server_name_set);
    l.Bind("gnutls_session_set_verify_cert", f.session_set_verify_cert);
    l.Bind("gnutls_session_get_verify_cert_status", f.session_get_verify_cert_status);
    l.Bind("gnutls_alpn_set_protocols", f.alpn_set_protocols);
    l.Bind("gnutls_alpn_get_selected_protocol", f.alpn_get_selected_protocol);
    l.Bind("gnutls_transport_set_int2", f.transport_set_int2);
    l.Bind("gnutls_transport_set_vec_push_function", f.transport_set_vec_push_function);
    l.Bind("gnutls_handshake", f.handshake);
    l.Bind("gnutls_protocol_get_version", f.protocol_get_version);
    l.Bind("gnutls_record_get_direction", f.record_get_direction);
    l.Bind("gnutls_record_send", f.record_send);
    l.Bind("gnutls_record_recv", f.record_recv);
    l.Bind("gnutls_prf_rfc5705", f.prf_rfc5705);
    l.Bind("gnutls_bye", f.bye);
    l.Bind("gnutls_error_is_fatal", f.error_is_fatal);
    l.Bind("gnutls_strerror", f.strerror);
    l.Bind("gnutls_free", f.free);
}

}  // namespace

const GnuTls* LoadGnuTls(std::string* why) {
    static const LibraryFunctions<GnuTls> loaded(kGnuTlsLibrary, Bind);
    return loaded.Get(why);
}

}  // namespace velmora
