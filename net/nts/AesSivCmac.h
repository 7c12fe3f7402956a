#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// AEAD_AES_SIV_CMAC_256 (RFC 5297 with one associated-data item and a nonce), the one algorithm
// Network Time Security requires: a 32-byte key, a 16-byte tag in front of the ciphertext.
inline constexpr std::uint16_t kAesSivCmac256 = 15;
inline constexpr std::size_t kAeadKeySize = 32;
inline constexpr std::size_t kAeadTagSize = 16;
using AeadKey = std::array<std::uint8_t, kAeadKeySize>;

// Whether the library that does it is there; `why` (when given) says why not. Without it nothing
// is sealed (an empty result) and nothing opens.
bool AeadAvailable(std::string* why = nullptr);
// Tag followed by the encrypted plaintext.
std::string AeadSeal(const AeadKey& key, std::string_view nonce, std::string_view associated,
                     std::string_view plaintext);
// The plaintext, or nothing when the tag does not verify.
std::optional<std::string> AeadOpen(const AeadKey& key, std::string_view nonce,
                                    std::string_view associated, std::string_view ciphertext);

}  // namespace velmora
