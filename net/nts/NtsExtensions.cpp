#include "net/nts/NtsExtensions.h"

#include <algorithm>

#include "net/nts/WireWords.h"

namespace velmora {

namespace {

constexpr std::size_t kHeaderSize = 48;
constexpr std::size_t kFieldHeader = 4;
constexpr std::size_t kMinFieldSize = 16;
constexpr std::uint8_t kKissStratum = 0;
constexpr std::string_view kNakCode = "NTSN";

std::size_t Padded(std::size_t size) {
    return (size + 3) / 4 * 4;
}

const ExtensionField* Find(const std::vector<ExtensionField>& fields, std::uint16_t type) {
    const auto found = std::find_if(fields.begin(), fields.end(),
                                    [type](const ExtensionField& f) { return f.type == type; });
    return found == fields.end() ? nullptr : &*found;
}

bool CarriesId(const std::vector<ExtensionField>& fields, std::string_view uniqueId) {
    const ExtensionField* id = Find(fields, ntsfield::kUniqueIdentifier);
    return id != nullptr && id->body == uniqueId;
}

bool IsNak(std::string_view datagram) {
    return static_cast<std::uint8_t>(datagram[1]) == kKissStratum &&
           datagram.substr(12, 4) == kNakCode;
}

std::vector<std::string> Cookies(const std::vector<ExtensionField>& fields) {
    std::vector<std::string> cookies;
    for (const ExtensionField& field : fields) {
        if (field.type == ntsfield::kCookie) {
            cookies.emplace_back(field.body);
        }
    }
    return cookies;
}

}  // namespace

std::string MakeExtensionField(std::uint16_t type, std::string_view body) {
    const std::size_t length = std::max(kFieldHeader + Padded(body.size()), kMinFieldSize);
    std::string field = Word16Bytes(type) + Word16Bytes(length);
    field += body;
    field.resize(length, '\0');
    return field;
}

std::optional<std::vector<ExtensionField>> ParseExtensionFields(std::string_view bytes,
                                                                std::size_t from) {
    std::vector<ExtensionField> fields;
    std::size_t at = from;
    while (at < bytes.size()) {
        if (bytes.size() - at < kFieldHeader) {
            return std::nullopt;
        }
        const std::size_t length = ReadWord16(bytes, at + 2);
        if (length < kFieldHeader || length % 4 != 0 || length > bytes.size() - at) {
            return std::nullopt;
        }
        fields.push_back(
            {ReadWord16(bytes, at), bytes.substr(at + kFieldHeader, length - kFieldHeader), at});
        at += length;
    }
    return fields;
}

std::optional<std::string> OpenAuthenticator(std::string_view packet, const ExtensionField& field,
                                             const AeadKey& key) {
    const std::string_view body = field.body;
    if (body.size() < kFieldHeader) {
        return std::nullopt;
    }
    const std::size_t nonceLength = ReadWord16(body, 0);
    const std::size_t cipherLength = ReadWord16(body, 2);
    if (body.size() - kFieldHeader < Padded(nonceLength) ||
        body.size() - kFieldHeader - Padded(nonceLength) < Padded(cipherLength)) {
        return std::nullopt;
    }
    return AeadOpen(key, body.substr(kFieldHeader, nonceLength), packet.substr(0, field.offset),
                    body.substr(kFieldHeader + Padded(nonceLength), cipherLength));
}

std::string NtsAuthenticator(std::string_view packet, std::string_view nonce,
                             std::string_view plaintext, const AeadKey& key) {
    const std::string sealed = AeadSeal(key, nonce, packet, plaintext);
    std::string body = Word16Bytes(nonce.size()) + Word16Bytes(sealed.size());
    body += nonce;
    body.resize(kFieldHeader + Padded(nonce.size()), '\0');
    body += sealed;
    return MakeExtensionField(ntsfield::kAuthenticator, body);
}

std::string SealNtsRequest(std::string_view header, const NtsRequestParts& parts,
                           const AeadKey& c2s) {
    std::string packet(header);
    packet += MakeExtensionField(ntsfield::kUniqueIdentifier, parts.uniqueId);
    packet += MakeExtensionField(ntsfield::kCookie, parts.cookie);
    for (std::size_t i = 0; i < parts.placeholders; ++i) {
        packet += MakeExtensionField(ntsfield::kCookiePlaceholder,
                                     std::string(parts.cookie.size(), '\0'));
    }
    return packet + NtsAuthenticator(packet, parts.nonce, "", c2s);
}

NtsReply OpenNtsReply(std::string_view datagram, std::string_view uniqueId, const AeadKey& s2c) {
    const auto fields = ParseExtensionFields(datagram, kHeaderSize);
    if (datagram.size() < kHeaderSize || !fields) {
        return {};
    }
    const auto authenticator =
        std::find_if(fields->begin(), fields->end(),
                     [](const ExtensionField& f) { return f.type == ntsfield::kAuthenticator; });
    if (authenticator == fields->end()) {
        const bool nak = IsNak(datagram) && CarriesId(*fields, uniqueId);
        return {nak ? NtsReplyKind::kNak : NtsReplyKind::kNotOurs, {}};
    }
    const std::vector<ExtensionField> signedFields(fields->begin(), authenticator);
    const std::optional<std::string> plaintext = OpenAuthenticator(datagram, *authenticator, s2c);
    if (!plaintext || !CarriesId(signedFields, uniqueId)) {
        return {};
    }
    const auto inner = ParseExtensionFields(*plaintext, 0);
    if (!inner) {
        return {};
    }
    return {NtsReplyKind::kAuthentic, Cookies(*inner)};
}

}  // namespace velmora
