#pragma once

#include <nettle/siv-cmac.h>

#include <string>

namespace velmora {

// Nettle's AES-SIV-CMAC with a 256-bit key (two AES-128 keys, hence the name), taken from the
// library when the first NTS exchange needs it, as GnuTLS is.
struct SivCmac {
    decltype(&siv_cmac_aes128_set_key) set_key;
    decltype(&siv_cmac_aes128_encrypt_message) encrypt_message;
    decltype(&siv_cmac_aes128_decrypt_message) decrypt_message;
};

// The functions, loaded once; null when the library or one of them is missing, and `why` (when
// given) then says so.
const SivCmac* LoadSivCmac(std::string* why = nullptr);

}  // namespace velmora
