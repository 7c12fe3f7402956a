#include "net/NtsHandshake.h"

#include "net/io/TlsChannel.h"
#include "net/nts/NtsKeyExchange.h"
#include "net/nts/NtsRecords.h"

namespace velmora {

namespace {

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

std::optional<NtsSession> EstablishNtsSession(const sockaddr_in& address,
                                              const std::string& hostName,
                                              const Deadline& deadline) {
    TlsChannel channel;
    if (!channel.Open(address, hostName, kNtsAlpn, deadline) ||
        !channel.Write(NtsKeRequest(), deadline)) {
        return std::nullopt;
    }
    const std::optional<NtsKeResponse> response = ReadResponse(channel, deadline);
    if (!response) {
        return std::nullopt;
    }
    const auto c2s = channel.ExportKey(kNtsExporterLabel, NtsExporterContext(0), kAeadKeySize);
    const auto s2c = channel.ExportKey(kNtsExporterLabel, NtsExporterContext(1), kAeadKeySize);
    if (!c2s || !s2c) {
        return std::nullopt;
    }
    return GrantedSession(*response, *c2s, *s2c, hostName);
}

}  // namespace velmora
