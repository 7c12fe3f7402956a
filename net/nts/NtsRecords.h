#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The records of the NTS key establishment (RFC 8915, section 4): a critical bit and a 15-bit
// type, a 16-bit body length, the body; every number big-endian.
namespace ntske {
inline constexpr std::uint16_t kEndOfMessage = 0;
inline constexpr std::uint16_t kNextProtocol = 1;
inline constexpr std::uint16_t kError = 2;
inline constexpr std::uint16_t kWarning = 3;
inline constexpr std::uint16_t kAeadAlgorithm = 4;
inline constexpr std::uint16_t kNewCookie = 5;
inline constexpr std::uint16_t kServer = 6;
inline constexpr std::uint16_t kPort = 7;
inline constexpr std::uint16_t kNtpV4 = 0;
// Cookies a client keeps, and the largest it accepts (every request carries one, and as many
// placeholders of the same size as it lacks).
inline constexpr std::size_t kMaxCookies = 8;
inline constexpr std::size_t kMaxCookieSize = 1024;
// A response that has not ended by this size is refused.
inline constexpr std::size_t kMaxResponseSize = 65536;
}  // namespace ntske

std::string NtsKeRecord(bool critical, std::uint16_t type, std::string_view body);
// NTPv4 as the next protocol, AEAD_AES_SIV_CMAC_256, end of message.
std::string NtsKeRequest();

// What a server's response grants: the cookies, and where to send the time requests when that
// is not the key-exchange host on port 123 (server empty, port 0: not said).
struct NtsKeResponse {
    std::vector<std::string> cookies;
    std::string server;
    std::uint16_t port = 0;
};

enum class NtsKeStatus {
    kIncomplete,  // no end of message yet: read on
    kComplete,
    kRefused,  // an error or warning record, a critical record not known, no NTPv4 with
               // AEAD_AES_SIV_CMAC_256, no cookie, or a record of the wrong shape
};

NtsKeStatus ParseNtsKeResponse(std::string_view bytes, NtsKeResponse& response);

}  // namespace velmora
