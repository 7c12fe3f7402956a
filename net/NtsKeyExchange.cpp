#include "net/NtsKeyExchange.h"

#include <algorithm>

#include "net/NtsRecords.h"
#include "net/TlsChannel.h"

namespace velmora {

namespace {

constexpr std::string_view kAlpn = "ntske/1";
constexpr std::uint16_t kDefaultNtpPort = 123;

bool ExportKeys(TlsChannel& channel, NtsSession& session) {
    const auto c2s = channel.ExportKey(kNtsExporterLabel, NtsExporterContext(0), kAeadKeySize);
    const auto s2c = channel.ExportKey(kNtsExporterLabel, NtsExporterContext(1), kAeadKeySize);
    if (!c2s || !s2c) {
        return false;
    }
    std::copy(c2s->begin(), c2s->end(), session.c2s.begin());
    std::copy(s2c->begin(), s2c->end(), session.s2c.begin());
    return true;
}

// Reads records until the server's end of message.
std::optional<NtsKeResponse> ReadResponse(TlsChannel& channel, const Deadline& deadline) {
    std::string bytes;
    NtsKeResponse response;
    for (;;) {
        switch (ParseNtsKeResponse(bytes, response)) {
            case NtsKeStatus::kComplete:
                return response;
            case NtsKeStatus::kRefused:
                return std::nullopt;
            case NtsKeStatus::kIncomplete:
                break;
        }
        if (!channel.Read(bytes, deadline)) {
            return std::nullopt;
        }
    }
}

}  // namespace

std::string NtsExporterContext(std::uint8_t direction) {
    return {static_cast<char>(ntske::kNtpV4 >> 8), static_cast<char>(ntske::kNtpV4 & 0xFF),
            static_cast<char>(kAesSivCmac256 >> 8), static_cast<char>(kAesSivCmac256 & 0xFF),
            static_cast<char>(direction)};
}

std::optional<NtsSession> EstablishNtsSession(const sockaddr_in& address,
                                              const std::string& hostName,
                                              const Deadline& deadline) {
    TlsChannel channel;
    if (!channel.Open(address, hostName, kAlpn, deadline) ||
        !channel.Write(NtsKeRequest(), deadline)) {
        return std::nullopt;
    }
    const std::optional<NtsKeResponse> response = ReadResponse(channel, deadline);
    NtsSession session;
    if (!response || !ExportKeys(channel, session)) {
        return std::nullopt;
    }
    session.cookies.assign(response->cookies.begin(), response->cookies.end());
    session.ntpHost = response->server.empty() ? hostName : response->server;
    session.ntpPort = response->port != 0 ? response->port : kDefaultNtpPort;
    return session;
}

}  // namespace velmora
