#include "net/NtsHandshake.h"

#include "net/io/TlsChannel.h"
#include "net/nts/NtsKeyExchange.h"
#include "net/nts/NtsRecords.h"

namespace velmora {

namespace {

constexpr const char* kRefused =
    "the server's answer refused, or offered no NTPv4 with AES-SIV-CMAC-256 or no cookie";

// Reads records until the server's end of message.
std::optional<NtsKeResponse> ReadResponse(TlsChannel& channel, const Deadline& deadline,
                                          std::string& why) {
    std::string bytes;
    NtsKeResponse response;
    for (;;) {
        switch (ParseNtsKeResponse(bytes, response)) {
            case NtsKeStatus::kComplete:
                return response;
            case NtsKeStatus::kRefused:
                why = kRefused;
                return std::nullopt;
            case NtsKeStatus::kIncomplete:
                break;
        }
        if (!channel.Read(bytes, deadline)) {
            why = channel.Failure();
            return std::nullopt;
        }
    }
}

// Connects to the first address that takes the connection; each address is given an even
// share of the time left, so that one that never answers leaves time for the others.
const SocketAddress* ConnectToFirst(TlsChannel& channel,
                                    const std::vector<SocketAddress>& addresses,
                                    const Deadline& deadline) {
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (channel.Connect(addresses[i], deadline.Share(addresses.size() - i))) {
            return &addresses[i];
        }
    }
    return nullptr;
}

}  // namespace

std::optional<NtsSession> EstablishNtsSession(const std::vector<SocketAddress>& addresses,
                                              const std::string& hostName, const Deadline& deadline,
                                              std::string& why) {
    TlsChannel channel;
    const SocketAddress* connected = ConnectToFirst(channel, addresses, deadline);
    if (connected == nullptr || !channel.Secure(hostName, kNtsAlpn, deadline) ||
        !channel.Write(NtsKeRequest(), deadline)) {
        why = channel.Failure();
        return std::nullopt;
    }
    const std::optional<NtsKeResponse> response = ReadResponse(channel, deadline, why);
    if (!response) {
        return std::nullopt;
    }
    const auto c2s = channel.ExportKey(kNtsExporterLabel, NtsExporterContext(0), kAeadKeySize);
    const auto s2c = channel.ExportKey(kNtsExporterLabel, NtsExporterContext(1), kAeadKeySize);
    if (!c2s || !s2c) {
        why = "no keys could be exported from the TLS session";
        return std::nullopt;
    }
    return GrantedSession(*response, *c2s, *s2c, connected->Text());
}

}  // namespace velmora
