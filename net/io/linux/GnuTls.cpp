#include "net/io/linux/GnuTls.h"

#include <dlfcn.h>

namespace velmora {

namespace {

// The library the headers were written for (GnuTLS 3.x).
constexpr const char* kLibrary = "libgnutls.so.30";

struct Loaded {
    GnuTls functions{};
    std::string failure;
};

// Sets `pointer` to the library's `name`; the first one missing is the failure.
template <class Pointer>
void Bind(void* library, const char* name, Pointer& pointer, std::string& failure) {
    pointer = reinterpret_cast<Pointer>(dlsym(library, name));
    if (pointer == nullptr && failure.empty()) {
        failure = std::string(kLibrary) + " has no " + name;
    }
}

Loaded Load() {
    Loaded loaded;
    void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = dlerror();
        loaded.failure = error != nullptr ? error : kLibrary;
        return loaded;
    }
    GnuTls& f = loaded.functions;
    std::string& why = loaded.failure;
    // Never unloaded: sessions may end while the program does.
    Bind(library, "gnutls_certificate_allocate_credentials", f.certificate_allocate_credentials,
         why);
    Bind(library, "gnutls_certificate_set_x509_system_trust", f.certificate_set_x509_system_trust,
         why);
    Bind(library, "gnutls_certificate_free_credentials", f.certificate_free_credentials, why);
    Bind(library, "gnutls_certificate_verification_status_print",
         f.certificate_verification_status_print, why);
    Bind(library, "gnutls_init", f.init, why);
    Bind(library, "gnutls_deinit", f.deinit, why);
    Bind(library, "gnutls_priority_set_direct", f.priority_set_direct, why);
    Bind(library, "gnutls_credentials_set", f.credentials_set, why);
    Bind(library, "gnutls_server_name_set", f.server_name_set, why);
    Bind(library, "gnutls_session_set_verify_cert", f.session_set_verify_cert, why);
    Bind(library, "gnutls_session_get_verify_cert_status", f.session_get_verify_cert_status, why);
    Bind(library, "gnutls_alpn_set_protocols", f.alpn_set_protocols, why);
    Bind(library, "gnutls_alpn_get_selected_protocol", f.alpn_get_selected_protocol, why);
    Bind(library, "gnutls_transport_set_int2", f.transport_set_int2, why);
    Bind(library, "gnutls_transport_set_vec_push_function", f.transport_set_vec_push_function, why);
    Bind(library, "gnutls_handshake", f.handshake, why);
    Bind(library, "gnutls_protocol_get_version", f.protocol_get_version, why);
    Bind(library, "gnutls_record_get_direction", f.record_get_direction, why);
    Bind(library, "gnutls_record_send", f.record_send, why);
    Bind(library, "gnutls_record_recv", f.record_recv, why);
    Bind(library, "gnutls_prf_rfc5705", f.prf_rfc5705, why);
    Bind(library, "gnutls_bye", f.bye, why);
    Bind(library, "gnutls_error_is_fatal", f.error_is_fatal, why);
    Bind(library, "gnutls_strerror", f.strerror, why);
    Bind(library, "gnutls_free", f.free, why);
    if (!why.empty()) {
        f = {};
    }
    return loaded;
}

}  // namespace

const GnuTls* LoadGnuTls(std::string* why) {
    static const Loaded loaded = Load();
    if (!loaded.failure.empty()) {
        if (why != nullptr) {
            *why = loaded.failure;
        }
        return nullptr;
    }
    return &loaded.functions;
}

}  // namespace velmora
