#include "net/nts/NtsKeyExchange.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr std::uint16_t kDefaultNtpPort = 123;

void CopyKey(std::string_view from, AeadKey& to) {
    std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
}

}  // namespace

std::string NtsExporterContext(std::uint8_t direction) {
    return {static_cast<char>(ntske::kNtpV4 >> 8), static_cast<char>(ntske::kNtpV4 & 0xFF),
            static_cast<char>(kAesSivCmac256 >> 8), static_cast<char>(kAesSivCmac256 & 0xFF),
            static_cast<char>(direction)};
}

NtsSession GrantedSession(const NtsKeResponse& response, std::string_view c2s, std::string_view s2c,
                          const std::string& keAddress) {
    NtsSession session;
    CopyKey(c2s, session.c2s);
    CopyKey(s2c, session.s2c);
    session.cookies.assign(response.cookies.begin(), response.cookies.end());
    session.ntpHost = response.server.empty() ? keAddress : response.server;
    session.ntpPort = response.port != 0 ? response.port : kDefaultNtpPort;
    return session;
}

}  // namespace velmora
