#include "net/io/SivCmac.h"

#include "net/io/SharedLibrary.h"

namespace velmora {

namespace {

void Bind(SharedLibrary& library, SivCmac& f) {
    // The library's own names, which the header's macros stand for.
    library.Bind("nettle_siv_cmac_aes128_set_key", f.set_key);
    library.Bind("nettle_siv_cmac_aes128_encrypt_message", f.encrypt_message);
    library.Bind("nettle_siv_cmac_aes128_decrypt_message", f.decrypt_message);
}

}  // namespace

const SivCmac* LoadSivCmac(std::string* why) {
    static const LibraryFunctions<SivCmac> loaded(kNettleLibrary, Bind);
    return loaded.Get(why);
}

}  // namespace velmora
