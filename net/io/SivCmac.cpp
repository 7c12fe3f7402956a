#include "net/io/SivCmac.h"

#include "net/io/SharedLibrary.h"

namespace velmora {

namespace {

struct Loaded {
    SivCmac functions{};
    std::string failure;
};

Loaded Load() {
    static SharedLibrary library(kNettleLibrary);
    Loaded loaded;
    // The library's own names, which the header's macros stand for.
    library.Bind("nettle_siv_cmac_aes128_set_key", loaded.functions.set_key);
    library.Bind("nettle_siv_cmac_aes128_encrypt_message", loaded.functions.encrypt_message);
    library.Bind("nettle_siv_cmac_aes128_decrypt_message", loaded.functions.decrypt_message);
    loaded.failure = library.Failure();
    if (!loaded.failure.empty()) {
        loaded.functions = {};
    }
    return loaded;
}

}  // namespace

const SivCmac* LoadSivCmac(std::string* why) {
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
