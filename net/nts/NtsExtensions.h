#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/nts/AesSivCmac.h"

namespace velmora {

// The NTPv4 extension fields of Network Time Security (RFC 8915, section 5; the field layout of
// RFC 7822): a 16-bit type, a 16-bit length of the whole field (a multiple of 4), the body.
namespace ntsfield {
inline constexpr std::uint16_t kUniqueIdentifier = 0x0104;
inline constexpr std::uint16_t kCookie = 0x0204;
inline constexpr std::uint16_t kCookiePlaceholder = 0x0304;
inline constexpr std::uint16_t kAuthenticator = 0x0404;
inline constexpr std::size_t kUniqueIdentifierSize = 32;
inline constexpr std::size_t kNonceSize = 16;
}  // namespace ntsfield

struct ExtensionField {
    std::uint16_t type = 0;
    std::string_view body;   // padding included
    std::size_t offset = 0;  // of the field's first byte
};

// One field, its body padded with zeros to a multiple of 4 and to at least 16 bytes in all.
std::string MakeExtensionField(std::uint16_t type, std::string_view body);
// The fields from `from` to the end; nothing when they do not fill it exactly.
std::optional<std::vector<ExtensionField>> ParseExtensionFields(std::string_view bytes,
                                                                std::size_t from);

// What a client's request carries beyond its 48-byte header.
struct NtsRequestParts {
    std::string uniqueId;
    std::string cookie;
    std::size_t placeholders = 0;
    std::string nonce;
};

// Header, unique identifier, cookie, placeholders, and the authenticator over all of them made
// with the client-to-server key; nothing is encrypted.
std::string SealNtsRequest(std::string_view header, const NtsRequestParts& parts,
                           const AeadKey& c2s);
// The authenticator field over everything in `packet` so far, with `plaintext` encrypted in it.
std::string NtsAuthenticator(std::string_view packet, std::string_view nonce,
                             std::string_view plaintext, const AeadKey& key);

// The plaintext an authenticator field of `packet` holds, if it verifies over every byte
// before the field.
std::optional<std::string> OpenAuthenticator(std::string_view packet, const ExtensionField& field,
                                             const AeadKey& key);

enum class NtsReplyKind {
    kNotOurs,  // unique identifier or authenticator missing or wrong: not the answer
    kNak,      // an unauthenticated NTS NAK (kiss code NTSN) that names our unique identifier
    kAuthentic,
};

struct NtsReply {
    NtsReplyKind kind = NtsReplyKind::kNotOurs;
    std::vector<std::string> cookies;  // the new ones it brought, when authentic
};

// Judges a datagram already known to answer the request's header: only the fields before the
// authenticator count, and they must carry `uniqueId` and verify with the server-to-client key.
NtsReply OpenNtsReply(std::string_view datagram, std::string_view uniqueId, const AeadKey& s2c);

}  // namespace velmora
