#include "net/io/SharedLibrary.h"

#include <dlfcn.h>

namespace velmora {

// The sonames of the libraries the headers were written for (GnuTLS 3.x, Nettle 3.8).
const char* const kGnuTlsLibrary = "libgnutls.so.30";
const char* const kNettleLibrary = "libnettle.so.8";

SharedLibrary::SharedLibrary(const char* name, Origin) : name_(name) {
    handle_ = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* error = dlerror();
        failure_ = error != nullptr ? error : name_;
    }
}

SharedLibrary::Address SharedLibrary::Symbol(const char* symbol) const {
    return handle_ != nullptr ? reinterpret_cast<Address>(dlsym(handle_, symbol)) : nullptr;
}

}  // namespace velmora
