#include "net/nts/AesSivCmac.h"

#include <nettle/siv-cmac.h>

namespace velmora {

namespace {

const std::uint8_t* Bytes(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

siv_cmac_aes128_ctx Context(const AeadKey& key) {
    siv_cmac_aes128_ctx context;
    siv_cmac_aes128_set_key(&context, key.data());
    return context;
}

}  // namespace

std::string AeadSeal(const AeadKey& key, std::string_view nonce, std::string_view associated,
                     std::string_view plaintext) {
    const siv_cmac_aes128_ctx context = Context(key);
    std::string sealed(plaintext.size() + SIV_DIGEST_SIZE, '\0');
    siv_cmac_aes128_encrypt_message(
        &context, nonce.size(), Bytes(nonce), associated.size(), Bytes(associated), sealed.size(),
        reinterpret_cast<std::uint8_t*>(sealed.data()), Bytes(plaintext));
    return sealed;
}

std::optional<std::string> AeadOpen(const AeadKey& key, std::string_view nonce,
                                    std::string_view associated, std::string_view ciphertext) {
    if (ciphertext.size() < SIV_DIGEST_SIZE || nonce.size() < SIV_MIN_NONCE_SIZE) {
        return std::nullopt;
    }
    const siv_cmac_aes128_ctx context = Context(key);
    std::string plaintext(ciphertext.size() - SIV_DIGEST_SIZE, '\0');
    if (siv_cmac_aes128_decrypt_message(&context, nonce.size(), Bytes(nonce), associated.size(),
                                        Bytes(associated), plaintext.size(),
                                        reinterpret_cast<std::uint8_t*>(plaintext.data()),
                                        Bytes(ciphertext)) == 0) {
        return std::nullopt;
    }
    return plaintext;
}

}  // namespace velmora
