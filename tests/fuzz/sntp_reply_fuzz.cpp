// Feeds arbitrary datagrams through the reply path of the SNTP client over a scripted binding
// and checks that one is taken as an answer exactly when it is the answer (it echoes the
// request's random transmit words) and every rule of a reply holds.
//
// Input: byte 0 says how the datagram arrives (bit 0: its originate words are made to match the
// request; bit 1: from another address; bit 2: from another port; bit 3: an empty datagram
// first; bit 4: the server is asked over IPv6); the rest, up to 1500 bytes, is the datagram.

#include <arpa/inet.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/SNTPsend.h"
#include "tests/fixtures/SocketFakeApi.h"

namespace {

using velmora::SocketFakeApi;
using velmora::TNtpPacket;

constexpr std::size_t kMaxDatagram = 1500;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

double ShortFormat(std::uint32_t word) {
    return ntohl(word) / 65536.0;
}

// The rules of a reply, judged with the client's T1 and T4.
bool ReplyHolds(const std::string& datagram, velmora::TDateTime t1, velmora::TDateTime t4) {
    TNtpPacket p;
    std::memcpy(&p, datagram.data(), sizeof p);
    const velmora::TDateTime t2 = velmora::DecodeTimestamp(p.ReceiveTime[0], p.ReceiveTime[1]);
    const velmora::TDateTime t3 = velmora::DecodeTimestamp(p.TransmitTime[0], p.TransmitTime[1]);
    const double delaySeconds = ((t4 - t1) - (t3 - t2)) * velmora::kSecondsPerDay;
    return (p.LiVnMode >> 6) < 3 && (p.LiVnMode & 7) == 4 && p.Stratum >= 1 && p.Stratum <= 15 &&
           p.ReceiveTime[0] != 0 && p.TransmitTime[0] != 0 &&
           ShortFormat(p.RootDelay) / 2 + ShortFormat(p.RootDispersion) <= 16 &&
           delaySeconds >= -0.0002;
}

bool OriginateMatches(const std::string& datagram, const std::string& request) {
    return datagram.size() >= 48 && datagram.compare(24, 8, request, 40, 8) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t how = data[0];
    std::string datagram(reinterpret_cast<const char*>(data + 1), std::min(size - 1, kMaxDatagram));

    SocketFakeApi api;
    const velmora::TDateTime t1 = 45000.25;
    const velmora::TDateTime t4 = t1 + 0.001 / 86400.0;
    int clockReads = 0;
    velmora::TSNTPSend client(api, [&] { return clockReads++ == 0 ? t1 : t4; });
    const bool ipv6 = (how & 16) != 0;
    client.ServerHost = ipv6 ? "[2001:db8::2]" : "127.0.0.2";
    const char* server = ipv6 ? "2001:db8::2" : "127.0.0.2";
    const char* other = ipv6 ? "2001:db8::3" : "127.0.0.3";
    client.ReplyTimeout = 1000;

    std::string request;
    api.OnSend = [&](const SocketFakeApi::Datagram& sent) {
        request = sent.bytes;
        if ((how & 1) != 0 && datagram.size() >= 32) {
            datagram.replace(24, 8, request, 40, 8);
        }
        if ((how & 8) != 0) {
            api.Deliver("", server, 123);
        }
        api.Deliver(datagram, (how & 2) != 0 ? other : server, (how & 4) != 0 ? 124 : 123);
    };

    const bool accepted = client.QueryServer();
    const bool fromServer = (how & 6) == 0;
    const bool isAnswer = fromServer && OriginateMatches(datagram, request);
    Require(accepted == (isAnswer && ReplyHolds(datagram, t1, t4)));
    if (accepted) {
        Require(std::isfinite(client.ServerTime()) && std::isfinite(client.OffsetSeconds()) &&
                std::isfinite(client.DelaySeconds()));
        Require(std::memcmp(&client.Reply(), datagram.data(), 48) == 0);
    } else {
        Require(client.ServerTime() == 0 && client.OffsetSeconds() == 0);
        Require(isAnswer || client.Socket().SocketError == velmora::wsa::kTimedOut);
    }
    // The reply (if any) never changes with anything but an answer.
    TNtpPacket zero{};
    Require(isAnswer || std::memcmp(&client.Reply(), &zero, sizeof zero) == 0);
    return 0;
}
