#include "net/nts/AesSivCmac.h"

#include "net/io/SivCmac.h"

namespace velmora {

namespace {

const std::uint8_t* Bytes(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

siv_cmac_aes128_ctx Context(const SivCmac& siv, const AeadKey& key) {
    siv_cmac_aes128_ctx context;
    siv.set_key(&context, key.data());
    return context;
}

}  // namespace

bool AeadAvailable(std::string* why) {
    return LoadSivCmac(why) != nullptr;
}

std::string AeadSeal(const AeadKey& key, std::string_view nonce, std::string_view associated,
                     std::string_view plaintext) {
    const SivCmac* siv = LoadSivCmac();
    if (siv == nullptr) {
        return {};
    }
    const siv_cmac_aes128_ctx context = Context(*siv, key);
    std::string sealed(plaintext.size() + SIV_DIGEST_SIZE, '\0');
    siv->encrypt_message(&context, nonce.size(), Bytes(nonce), associated.size(), Bytes(associated),
                         sealed.size(), reinterpret_cast<std::uint8_t*>(sealed.data()),
                         Bytes(plaintext));
    return sealed;
}

std::optional<std::string> AeadOpen(const AeadKey& key, std::string_view nonce,
                                    std::string_view associated, std::string_view ciphertext) {
    const SivCmac* siv = LoadSivCmac();
    if (siv == nullptr || ciphertext.size() < SIV_DIGEST_SIZE ||
        nonce.size() < SIV_MIN_NONCE_SIZE) {
        return std::nullopt;
    }
    const siv_cmac_aes128_ctx context = Context(*siv, key);
    std::string plaintext(ciphertext.size() - SIV_DIGEST_SIZE, '\0');
    if (siv->decrypt_message(&context, nonce.size(), Bytes(nonce), associated.size(),
                             Bytes(associated), plaintext.size(),
                             reinterpret_cast<std::uint8_t*>(plaintext.data()),
                             Bytes(ciphertext)) == 0) {
        return std::nullopt;
    }
    return plaintext;
}

}  // namespace velmora
